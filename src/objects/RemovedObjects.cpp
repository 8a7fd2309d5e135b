#include "objects/RemovedObjects.h"
#include "objects/DYNPanel.h"

std::vector<TRemovedObjects::Entry> TRemovedObjects::Live() const
{
    std::vector<Entry> live;
    for (const Entry& e : entries_)
        if (e.Object)
            live.push_back(e);
    return live;
}

int TRemovedObjects::Count() const
{
    return static_cast<int>(Live().size());
}

TRemovedObjects::Entry TRemovedObjects::Items(int i) const
{
    return Live().at(static_cast<size_t>(i));
}

QStringList TRemovedObjects::Texts() const
{
    QStringList texts;
    for (const Entry& e : Live())
        texts << e.Text;
    return texts;
}

int TRemovedObjects::IndexOf(const TDynPanel* object) const
{
    const std::vector<Entry> live = Live();
    for (size_t i = 0; i < live.size(); ++i)
        if (live[i].Object == object)
            return static_cast<int>(i);
    return -1;
}

void TRemovedObjects::Add(const QString& text, TDynPanel* object)
{
    if (!object)
        return;
    std::erase_if(entries_, [](const Entry& e) { return !e.Object; });
    entries_.push_back({text, object});
}

void TRemovedObjects::Remove(const TDynPanel* object)
{
    std::erase_if(entries_, [object](const Entry& e) { return !e.Object || e.Object == object; });
}

void TRemovedObjects::DropWhere(const std::function<bool(TDynPanel*)>& match)
{
    std::erase_if(entries_, [&match](const Entry& e) { return !e.Object || match(e.Object.data()); });
}

void TRemovedObjects::FreeAll()
{
    std::vector<Entry> entries;
    entries.swap(entries_);
    for (Entry& e : entries)
        delete e.Object.data(); // a QPointer is null for an object freed by an earlier one
}

void TRemovedObjects::ForgetPicture(const TBKImage* entry)
{
    for (const Entry& e : entries_)
        if (e.Object && e.Object->Picture == entry) {
            e.Object->Picture = nullptr;
            e.Object->PictureFile.clear();
        }
}

TRemovedObjects& RemovedObjects()
{
    // Never destroyed, so that lists destroyed late at exit can still ask it.
    static auto* list = new TRemovedObjects;
    return *list;
}
