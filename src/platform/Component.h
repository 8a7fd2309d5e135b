#pragma once
// TComponent: the owner registry every designable object and helper takes part in.
// An owner lists its components (names are built from ComponentCount) but never deletes
// them: object lists and members own their objects.
#include <QString>
#include <vector>

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
    int ComponentIndex() const;

    const QString& ComponentName() const { return componentName_; }
    void SetComponentName(const QString& name) { componentName_ = name; }

    // Moves this component to another owner's registry.
    void SetOwner(TComponent* owner);

private:
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    QString componentName_;
};
