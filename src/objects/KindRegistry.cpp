#include "objects/KindRegistry.h"
#include "objects/NullPanel.h"

TKindRegistry& TKindRegistry::Get()
{
    static TKindRegistry registry;
    return registry;
}

bool TKindRegistry::Register(TKindEntry entry)
{
    const Int32 code = entry.Code;
    return entries_.emplace(code, std::move(entry)).second;
}

void TKindRegistry::Unregister(Int32 code)
{
    entries_.erase(code);
}

const TKindEntry* TKindRegistry::Find(Int32 code) const
{
    const auto it = entries_.find(code);
    return it == entries_.end() ? nullptr : &it->second;
}

TKindInfo TKindRegistry::DescriptorOf(const TComponent* object) const
{
    if (!object)
        return KindByCode(kcNone);
    if (const auto* p = dynamic_cast<const TNullPanel*>(object))
        return p->KindInfo;
    for (const auto& [code, entry] : entries_)
        if (entry.DescriptorOf)
            if (const std::optional<TKindInfo> k = entry.DescriptorOf(object))
                return *k;
    return KindByCode(kcNone);
}
