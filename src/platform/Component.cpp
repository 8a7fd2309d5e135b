#include "platform/Component.h"
#include <algorithm>

TComponent::TComponent(TComponent* owner)
{
    SetOwner(owner);
}

TComponent::~TComponent()
{
    SetOwner(nullptr);
    for (TComponent* c : components_)
        c->owner_ = nullptr;
}

int TComponent::ComponentIndex() const
{
    if (!owner_)
        return -1;
    const auto& list = owner_->components_;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetOwner(TComponent* owner)
{
    if (owner_ == owner)
        return;
    if (owner_) {
        auto& list = owner_->components_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    owner_ = owner;
    if (owner_)
        owner_->components_.push_back(this);
}
