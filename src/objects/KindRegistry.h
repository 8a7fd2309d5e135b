#pragma once
// The kind registry: what an object list needs to write, re-create and read back each kind of
// object by its code. Every kind registers itself where it is defined, with a static
// TKindRegistrar in its .cpp. A code nobody registered is written as its descriptor alone and
// read as its descriptor alone.
#include "platform/MemoryStream.h"
#include "shell/KindInfo.h"
#include <any>
#include <functional>
#include <map>
#include <optional>
#include <typeinfo>

class QWidget;
class TComponent;
class TObjectList;

// How the list reader comes by the object a record is loaded into.
enum class TCreationRule {
    NewOrReuse,         // the list's entry at this position when it is of the same kind, else a new object
    AlwaysNew,          // always a new object
    ExistingAtPosition, // never created: the list's entry at this position is loaded (headers, footers, column panels)
};

// What AddLoaded does with a loaded object.
enum class TAddRule {
    Add,          // AddNew
    AddAsForm,    // AddNew; it becomes the designer's current parent and current form
    AppendUnique, // AppendUnique (data sources)
    None,         // nothing: the object is in its list already
};

struct TKindEntry {
    Int32 Code = 0;
    TCreationRule Creation = TCreationRule::NewOrReuse;
    TAddRule Adding = TAddRule::Add;
    // Whether ReadEntry hands the loaded object back (headers and footers are loaded in place and
    // not handed back).
    bool ReturnedByRead = true;

    // Fields written before the record's header; the list reads them before it creates the object
    // (column and row count of the grids, the aspect ratio of the database picture, the byte of
    // the database form). Absent when the kind has none.
    std::function<std::any(TMemoryStream&)> ReadLeading;
    // Creates the object with the designer's current form as owner and the current parent as
    // parent; gets what ReadLeading read.
    std::function<TComponent*(TComponent* owner, QWidget* parent, const std::any& leading)> Create;
    // The complete save routine, written after the descriptor: leading fields, the record of the
    // nearest base, the kind's own fields and CloseRecord for the kinds that close their record.
    std::function<void(TComponent*)> Save;
    // The complete load routine, after the leading fields; gets what ReadLeading read.
    std::function<void(TComponent*, const std::any& leading)> Load;

    // Replaces creation and loading altogether (data sources): reads everything after the
    // descriptor and returns the object to hand to AddLoaded, or nil.
    std::function<TComponent*(TObjectList& list, TComponent* reuse)> ReadCustom;
    // The descriptor of an object that is not a panel (data sources); nullopt for other objects.
    std::function<std::optional<TKindInfo>(const TComponent*)> DescriptorOf;
    // How the designer's delete hides an object of this kind (a label sheet also hides its helper
    // labels). Absent: the panel is hidden.
    std::function<void(TComponent*)> HideRemoved;
};

class TKindRegistry {
public:
    static TKindRegistry& Get();

    // False when the code is registered already; the first registration stays.
    bool Register(TKindEntry entry);
    void Unregister(Int32 code);
    const TKindEntry* Find(Int32 code) const;
    bool IsRegistered(Int32 code) const { return Find(code) != nullptr; }

    // The descriptor written before an object: a panel's KindInfo, else what a registered
    // DescriptorOf gives, else the empty descriptor.
    TKindInfo DescriptorOf(const TComponent* object) const;

private:
    std::map<Int32, TKindEntry> entries_;
};

// Registers a kind while the program starts (a static object in the kind's .cpp).
struct TKindRegistrar {
    explicit TKindRegistrar(TKindEntry entry) { TKindRegistry::Get().Register(std::move(entry)); }
};

// The object as the kind's class; EStreamError when a record of this kind meets another class.
template <class T>
T& KindObject(TComponent* object, Int32 code)
{
    T* p = dynamic_cast<T*>(object);
    if (!p)
        throw EStreamError("object of kind " + std::to_string(code) + " is not a " + typeid(T).name());
    return *p;
}

// An entry for a panel kind created as T(owner, parent) and saved and loaded by the given routines
// (callables taking T&).
template <class T, class SaveFn, class LoadFn>
TKindEntry PanelKind(Int32 code, SaveFn save, LoadFn load, TCreationRule creation = TCreationRule::NewOrReuse,
                     TAddRule adding = TAddRule::Add)
{
    TKindEntry e;
    e.Code = code;
    e.Creation = creation;
    e.Adding = adding;
    e.Create = [](TComponent* owner, QWidget* parent, const std::any&) -> TComponent* { return new T(owner, parent); };
    e.Save = [save, code](TComponent* object) { save(KindObject<T>(object, code)); };
    e.Load = [load, code](TComponent* object, const std::any&) { load(KindObject<T>(object, code)); };
    return e;
}
