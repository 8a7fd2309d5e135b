#pragma once
// TObjectList: an ordered list of designable objects (and data sources) that owns them.
#include "platform/Component.h"
#include "platform/Types.h"
#include <QPointer>
#include <QString>
#include <vector>

class TCanvas;
class TDynPanel;
class TMemoryStream;

// The program's version and date at the head of every object file.
constexpr double ProgramVersionNumber = 0.1;
double ProgramVersionDate(); // 20 September 2002

class TObjectList {
public:
    TObjectList() = default;
    explicit TObjectList(int capacity) { items_.reserve(static_cast<size_t>(capacity)); }
    virtual ~TObjectList();
    TObjectList(const TObjectList&) = delete;
    TObjectList& operator=(const TObjectList&) = delete;

    Int32 StoredCount = 0;
    QString ListName;
    void* ListOwner = this;
    TComponent* LastAdded = nullptr;

    int Count() const { return static_cast<int>(items_.size()); }
    TComponent* Items(int i) const { return items_.at(static_cast<size_t>(i)); }
    TDynPanel* Panel(int i) const; // the entry as an object, nil for a data source
    int IndexOf(const TComponent* item) const;
    bool Contains(const TComponent* item) const { return IndexOf(item) >= 0; }
    const std::vector<TComponent*>& All() const { return items_; }

    virtual void Add(TComponent* object);
    void AddNew(TComponent* object);
    void AppendUnchecked(TComponent* object);
    void AppendUnique(TComponent* object);
    void InsertAt(int index, TComponent* object);
    void InsertGraphic(TDynPanel* shape);
    void Unlink(TComponent* object);
    void UnlinkAll();
    void FreeAt(int index);
    virtual void Clear();
    TComponent* Last() const { return items_.empty() ? nullptr : items_.back(); }

    void StoreAllLogicalBounds();
    void ApplyZoomAll(double factor);
    void PaintAllTo(TCanvas& canvas);
    void PaintGraphicsTo(TCanvas& canvas);

    // ---- streaming (ObjectListStream.cpp) ----
    // Int32 count, then WriteEntry of every entry in order. The stream is the shared stream
    // while the list is written.
    virtual void SaveToStream(TMemoryStream& stream);
    // Reads the count into StoredCount, then ReadEntry and AddLoaded for each entry; the entry at
    // the same position is loaded again where the kind allows it. Throws EStreamError on a
    // corrupt or truncated stream; the object being read when that happens is freed.
    virtual void LoadFromStream(TMemoryStream& stream);
    // The object's 32-byte kind descriptor, then the kind's complete save routine.
    void WriteEntry(TMemoryStream& stream, TComponent* object);
    // Reads one entry and returns the loaded object (nil for headers, footers, kinds nobody
    // registered and visual objects without a current parent, whose record is skipped).
    // reuse: the list's entry at the position being read, or nil.
    TComponent* ReadEntry(TMemoryStream& stream, TComponent* reuse = nullptr);
    // Adds a loaded object as its kind says (nothing for nil).
    void AddLoaded(TComponent* object);
    // The designer's delete and cut: the object leaves the list without being freed and is
    // listed in RemovedObjects() (database forms only leave the list).
    void RemoveObject(TComponent* object);
    // Frees a data source of the list.
    void FreeDataSource(TComponent* source);
    // The first entry whose name is exactly name (data sources, and objects by their Name), or nil.
    TComponent* FindByName(const QString& name) const;

    // The object file: version, date, screen height and width, then the list; written with the
    // object-file flag set. Nothing is written to disk for an empty file name. On failure shows
    // "Save of" + name + "error" and returns false.
    bool SaveToFile(const QString& fileName);
    // Reads an object file into new objects and appends them to the list only when the whole
    // file was read. A newer version shows "Bad version!" + version + " of File."; a missing,
    // corrupt or truncated file shows one message naming the file. Either way the list, the
    // current parent, form and list are left as they were and false is returned.
    bool LoadFromFile(const QString& fileName);
    // Writes one object alone as an object file (the object stays where it is).
    static bool SaveObjectToFile(TComponent* object, const QString& fileName);

protected:
    void AdoptOwnerList(TComponent* object);
    std::vector<TComponent*> items_;

private:
    // Skips the record of an object that is not loaded, by the end position in its header.
    static void SkipRecord(TMemoryStream& stream, Int32 code);
    // Moves the entries of a list read from a file to the end of this one.
    void TakeOver(TObjectList& loaded);

    // Objects that left this list through RemoveObject still name it as theirs, so that they can
    // be brought back; they forget it when the list goes.
    struct TLifetime {
        TObjectList* List;
        std::vector<QPointer<QObject>> Departed;
        ~TLifetime();
    };
    TLifetime lifetime_{this, {}};
};
