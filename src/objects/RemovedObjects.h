#pragma once
// The designer's list of removed objects: every object taken out of its list by the designer's
// delete or cut, under a text naming its form and itself, so that it can be brought back.
// The list does not own the objects; an object destroyed meanwhile drops out of it by itself.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class TBKImage;
class TDynPanel;

class TRemovedObjects {
public:
    struct Entry {
        QString Text;
        QPointer<TDynPanel> Object;
    };

    int Count() const;
    // Entry i of those whose object still exists, in the order they were removed.
    Entry Items(int i) const;
    QStringList Texts() const;
    int IndexOf(const TDynPanel* object) const;
    bool Contains(const TDynPanel* object) const { return IndexOf(object) >= 0; }

    void Add(const QString& text, TDynPanel* object);
    // Takes the entry of an object out (it is being brought back).
    void Remove(const TDynPanel* object);
    // Takes out every entry whose object matches.
    void DropWhere(const std::function<bool(TDynPanel*)>& match);
    // Empties the list without freeing the objects.
    void Clear() { entries_.clear(); }
    // Frees every object still listed and empties the list (the project is closed).
    void FreeAll();
    // Listed objects that use this picture entry give it up (the entry is being freed).
    void ForgetPicture(const TBKImage* entry);

private:
    std::vector<Entry> Live() const;
    std::vector<Entry> entries_;
};

// The designer's list.
TRemovedObjects& RemovedObjects();
