#pragma once
// The dataset wrapper through which every database-bound object reaches its records.
#include "platform/Component.h"
#include "shell/KindInfo.h"
#include <QString>
#include <vector>

class TDataSet;
class TDynPanel;
class TField;

// A group of records by value or date period: also the database form's group-filter descriptor.
struct SGruppenFilter {
    QString Value;
    QString Caption;
    QString FieldName;
    TField* Field = nullptr;
    quint8 DateLevel = 3;
};

class TCloneSource : public TComponent {
public:
    explicit TCloneSource(TComponent* owner = nullptr) : TComponent(owner) {}
    ~TCloneSource() override = default;

    QString Name;
    TDataSet* DataSet = nullptr;
    TKindInfo KindDescriptor = KindByCode(kcDataSource);
    // The designer objects bound to a field of this wrapper (not owned).
    std::vector<TDynPanel*> LinkedObjects;

    void Link(TDynPanel* object);
    void Unlink(TDynPanel* object);
    bool IsLinked(const TDynPanel* object) const;
};

class TCloneDataSource : public TCloneSource {
public:
    using TCloneSource::TCloneSource;
};
