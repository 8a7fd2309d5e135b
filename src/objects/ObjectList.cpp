#include "objects/ObjectList.h"
#include "objects/DYNPanel.h"
#include "shell/KindInfo.h"
#include <algorithm>

TObjectList::~TObjectList()
{
    TObjectList::Clear();
}

TDynPanel* TObjectList::Panel(int i) const
{
    return dynamic_cast<TDynPanel*>(Items(i));
}

int TObjectList::IndexOf(const TComponent* item) const
{
    const auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TObjectList::AdoptOwnerList(TComponent* object)
{
    if (auto* p = dynamic_cast<TNullPanel*>(object); p && !p->OwnerList)
        p->OwnerList = this;
}

void TObjectList::Add(TComponent* object)
{
    if (!object)
        return;
    if (Contains(object)) {
        LastAdded = nullptr;
        return;
    }
    items_.push_back(object);
    AdoptOwnerList(object);
    LastAdded = object;
}

void TObjectList::AddNew(TComponent* object)
{
    if (Contains(object)) {
        LastAdded = nullptr;
        return;
    }
    Add(object);
    LastAdded = object;
}

void TObjectList::AppendUnchecked(TComponent* object)
{
    items_.push_back(object);
    LastAdded = object;
}

void TObjectList::AppendUnique(TComponent* object)
{
    if (Contains(object)) {
        LastAdded = nullptr;
        return;
    }
    items_.push_back(object);
    LastAdded = object;
}

void TObjectList::InsertAt(int index, TComponent* object)
{
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, object);
    AdoptOwnerList(object);
}

void TObjectList::InsertGraphic(TDynPanel* shape)
{
    // The new shape goes before the last shape of the list, so that shapes stay together.
    int pos = 0;
    for (int i = Count() - 1; i >= 1; --i) {
        if (auto* p = Panel(i); p && p->KindInfo.Code == kcGraphik) {
            pos = i;
            break;
        }
    }
    InsertAt(pos, shape);
    LastAdded = shape;
}

void TObjectList::Unlink(TComponent* object)
{
    const int i = IndexOf(object);
    if (i >= 0)
        items_.erase(items_.begin() + i);
}

void TObjectList::UnlinkAll()
{
    items_.clear();
}

void TObjectList::FreeAt(int index)
{
    if (index < 0 || index >= Count())
        return;
    TComponent* object = items_[static_cast<size_t>(index)];
    items_.erase(items_.begin() + index);
    if (auto* p = dynamic_cast<TNullPanel*>(object); p && p->OwnerList == this)
        p->OwnerList = nullptr;
    delete object;
}

void TObjectList::Clear()
{
    while (!items_.empty())
        FreeAt(Count() - 1);
}

void TObjectList::StoreAllLogicalBounds()
{
    for (int i = 0; i < Count(); ++i)
        if (auto* p = Panel(i))
            p->StoreLogicalBounds();
}

void TObjectList::ApplyZoomAll(double factor)
{
    for (int i = 0; i < Count(); ++i)
        if (auto* p = Panel(i))
            p->ApplyZoom(factor);
}

void TObjectList::PaintAllTo(TCanvas& canvas)
{
    for (int i = 0; i < Count(); ++i) {
        auto* p = Panel(i);
        if (!p)
            continue;
        const Int32 code = p->KindInfo.Code;
        if (p->Visible() || code == kcGraphik || code == kcHeader || code == kcFooter)
            p->PaintTo(canvas);
    }
}

void TObjectList::PaintGraphicsTo(TCanvas& canvas)
{
    for (int i = 0; i < Count(); ++i)
        if (auto* p = Panel(i); p && p->KindInfo.Code == kcGraphik)
            p->PaintTo(canvas);
}
