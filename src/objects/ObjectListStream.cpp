// Writing object lists to the shared stream and re-creating them from it by kind code; the
// designer's delete; the object file.
#include "data/CloneTable.h"
#include "objects/BilderListe.h"
#include "objects/DYNPanel.h"
#include "objects/DynDBForm.h"
#include "objects/KindRegistry.h"
#include "objects/ObjectList.h"
#include "objects/RemovedObjects.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "platform/MemoryStream.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <set>

namespace {
// Makes a stream the shared stream while a list is written or read.
class SharedStreamScope {
public:
    explicit SharedStreamScope(TMemoryStream& stream) : saved_(SharedStream) { SharedStream = &stream; }
    ~SharedStreamScope() { SharedStream = saved_; }
    SharedStreamScope(const SharedStreamScope&) = delete;
    SharedStreamScope& operator=(const SharedStreamScope&) = delete;

private:
    TMemoryStream* saved_;
};

// Sets the object-file flag while an object file is written or read.
class ObjectFileScope {
public:
    ObjectFileScope() : saved_(ObjectFileMode) { ObjectFileMode = true; }
    ~ObjectFileScope() { ObjectFileMode = saved_; }
    ObjectFileScope(const ObjectFileScope&) = delete;
    ObjectFileScope& operator=(const ObjectFileScope&) = delete;

private:
    bool saved_;
};

// Containers read their children through ReadEntry again; a file nesting deeper than any
// form does is refused before the call stack runs out.
constexpr int MaxNesting = 100;
int Nesting = 0;

class NestingScope {
public:
    NestingScope()
    {
        if (Nesting >= MaxNesting)
            throw EStreamError("objects nested more than " + std::to_string(MaxNesting) + " deep");
        ++Nesting;
    }
    ~NestingScope() { --Nesting; }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;
};

Int32 CodeOf(const TComponent* object)
{
    return TKindRegistry::Get().DescriptorOf(object).Code;
}

// Every object list inside an object: its children's list and those of all its descendants.
void CollectChildLists(const TSimpelPanel* object, std::set<const TObjectList*>& lists)
{
    if (!object || !object->Children)
        return;
    lists.insert(object->Children.get());
    for (TComponent* child : object->Children->All())
        CollectChildLists(dynamic_cast<const TSimpelPanel*>(child), lists);
}

void ShowReadError(const QString& fileName, const char* detail)
{
    TDialogs::Get().MessageDlg(Texts(115) + QStringLiteral(": ") + fileName + QLatin1Char('\n')
                                   + QString::fromUtf8(detail),
                               TMsgDlgType::Error, mbOK);
}
} // namespace

double ProgramVersionDate()
{
    return DateToDateTime(QDate(2002, 9, 20));
}

TObjectList::TLifetime::~TLifetime()
{
    for (const QPointer<QObject>& o : Departed)
        if (auto* p = dynamic_cast<TNullPanel*>(o.data()); p && p->OwnerList == List)
            p->OwnerList = nullptr;
}

// ---- writing ----

void TObjectList::SaveToStream(TMemoryStream& stream)
{
    SharedStreamScope shared(stream);
    stream.WriteInt32(Count());
    for (int i = 0; i < Count(); ++i)
        WriteEntry(stream, Items(i));
}

void TObjectList::WriteEntry(TMemoryStream& stream, TComponent* object)
{
    SharedStreamScope shared(stream);
    const TKindInfo kind = TKindRegistry::Get().DescriptorOf(object);
    stream.WriteBytes(kind.ToBytes());
    if (const TKindEntry* entry = TKindRegistry::Get().Find(kind.Code); entry && entry->Save)
        entry->Save(object);
}

// ---- reading ----

void TObjectList::LoadFromStream(TMemoryStream& stream)
{
    SharedStreamScope shared(stream);
    const qint64 at = stream.Position();
    const Int32 n = stream.ReadInt32();
    // Every entry holds at least its kind descriptor.
    if (n < 0 || n > stream.Remaining() / TKindInfo::Size) {
        stream.SetPosition(at);
        throw EStreamError("list of " + std::to_string(n) + " objects at position " + std::to_string(at)
                           + " does not fit into the " + std::to_string(stream.Remaining() - 4)
                           + " bytes that remain");
    }
    StoredCount = n;
    for (int i = 0; i < n; ++i) {
        TComponent* reuse = i < Count() ? Items(i) : nullptr;
        AddLoaded(ReadEntry(stream, reuse));
    }
}

void TObjectList::SkipRecord(TMemoryStream& stream, Int32 code)
{
    const qint64 at = stream.Position();
    const Int32 start = stream.ReadInt32();
    const Int32 end = stream.ReadInt32();
    const qint64 length = static_cast<qint64>(end) - start;
    // A header is two positions and a name's length at least.
    if (length < 12 || at + length > stream.Size()) {
        stream.SetPosition(at);
        throw EStreamError("the record of kind " + std::to_string(code) + " at position " + std::to_string(at)
                           + " cannot be skipped: "
                           + (end == start ? std::string("its end was never recorded")
                                           : "its end " + std::to_string(end) + " is not within the stream"));
    }
    stream.SetPosition(at + length);
}

TComponent* TObjectList::ReadEntry(TMemoryStream& stream, TComponent* reuse)
{
    SharedStreamScope shared(stream);
    NestingScope nesting;
    const qint64 at = stream.Position();
    TKindInfo kind;
    if (!TKindInfo::FromBytes(stream.ReadBytes(TKindInfo::Size), kind)) {
        stream.SetPosition(at);
        throw EStreamError("no kind descriptor at position " + std::to_string(at));
    }
    const TKindEntry* entry = TKindRegistry::Get().Find(kind.Code);
    if (!entry)
        return nullptr; // the descriptor alone
    if (entry->ReadCustom)
        return entry->ReadCustom(*this, reuse);

    std::any leading;
    if (entry->ReadLeading)
        leading = entry->ReadLeading(stream);

    // A visual object needs a container to live in; without one its record is passed over.
    if (kind.Code != kcDBForm && kind.IsVisual && !CurrentParent) {
        SkipRecord(stream, kind.Code);
        return nullptr;
    }

    const bool sameKind = reuse && CodeOf(reuse) == kind.Code;
    TComponent* target = nullptr;
    switch (entry->Creation) {
    case TCreationRule::NewOrReuse:
        target = sameKind ? reuse : nullptr;
        break;
    case TCreationRule::AlwaysNew:
        break;
    case TCreationRule::ExistingAtPosition:
        if (!sameKind) {
            SkipRecord(stream, kind.Code);
            return nullptr;
        }
        target = reuse;
        break;
    }

    bool created = false;
    if (!target) {
        if (!entry->Create)
            throw EStreamError("objects of kind " + std::to_string(kind.Code) + " cannot be created");
        target = entry->Create(CurrentForm, CurrentParent, leading);
        if (!target)
            throw EStreamError("an object of kind " + std::to_string(kind.Code) + " could not be created");
        created = true;
    }
    try {
        if (entry->Load)
            entry->Load(target, leading);
    } catch (...) {
        // No half-read object stays behind.
        if (created)
            delete target;
        throw;
    }
    return entry->ReturnedByRead ? target : nullptr;
}

void TObjectList::AddLoaded(TComponent* object)
{
    if (!object)
        return;
    const TKindEntry* entry = TKindRegistry::Get().Find(CodeOf(object));
    const TAddRule rule = entry ? entry->Adding : TAddRule::None;
    if (rule == TAddRule::None)
        return;
    auto* panel = dynamic_cast<TNullPanel*>(object);
    if (panel)
        panel->OwnerList = nullptr;
    if (rule == TAddRule::AppendUnique)
        AppendUnique(object);
    else
        AddNew(object);
    // An object loaded again in its place keeps this list as its own.
    if (panel && !panel->OwnerList && Contains(object))
        panel->OwnerList = this;
    if (rule == TAddRule::AddAsForm) {
        CurrentParent = dynamic_cast<TDynPanel*>(object);
        CurrentForm = dynamic_cast<TDynDBForm*>(object);
    }
}

// ---- the designer's delete ----

void TObjectList::RemoveObject(TComponent* object)
{
    if (!object || !Contains(object))
        return;
    auto* panel = dynamic_cast<TDynPanel*>(object);
    if (panel && panel->KindInfo.Code != kcDBForm) {
        // Its own children that were removed earlier go with it.
        std::set<const TObjectList*> lists;
        CollectChildLists(panel, lists);
        RemovedObjects().DropWhere([&lists](TDynPanel* o) { return lists.count(o->OwnerList) > 0; });
        const QString formName = CurrentForm ? CurrentForm->Name : QString();
        RemovedObjects().Add(formName + QStringLiteral("  ") + panel->Name, panel);
        const TKindEntry* entry = TKindRegistry::Get().Find(panel->KindInfo.Code);
        if (entry && entry->HideRemoved)
            entry->HideRemoved(panel);
        else
            panel->hide();
        if (panel->Picture && panel->Picture->UseCount > 0)
            --panel->Picture->UseCount;
    }
    Unlink(object);
    if (auto* p = dynamic_cast<TNullPanel*>(object)) {
        std::erase_if(lifetime_.Departed, [](const QPointer<QObject>& o) { return o.isNull(); });
        lifetime_.Departed.emplace_back(p);
    }
}

void TObjectList::FreeDataSource(TComponent* source)
{
    const int i = IndexOf(source);
    if (i >= 0)
        FreeAt(i);
}

TComponent* TObjectList::FindByName(const QString& name) const
{
    for (TComponent* item : items_) {
        if (const auto* s = dynamic_cast<const TCloneSource*>(item); s && s->Name == name)
            return item;
        if (const auto* p = dynamic_cast<const TNullPanel*>(item); p && p->Name == name)
            return item;
    }
    return nullptr;
}

// ---- the object file ----

bool TObjectList::SaveToFile(const QString& fileName)
{
    TMemoryStream stream;
    ObjectFileScope objectFile;
    try {
        stream.WriteDouble(ProgramVersionNumber);
        stream.WriteDouble(ProgramVersionDate());
        stream.WriteInt32(TScreen::Height());
        stream.WriteInt32(TScreen::Width());
        SaveToStream(stream);
        if (!fileName.isEmpty())
            stream.SaveToFile(fileName);
    } catch (const std::exception&) {
        TDialogs::Get().MessageDlg(Texts(151) + fileName + Texts(152), TMsgDlgType::Confirmation, mbOK);
        return false;
    }
    return true;
}

bool TObjectList::SaveObjectToFile(TComponent* object, const QString& fileName)
{
    TObjectList single;
    single.AppendUnchecked(object);
    const bool saved = single.SaveToFile(fileName);
    single.UnlinkAll();
    return saved;
}

void TObjectList::TakeOver(TObjectList& loaded)
{
    for (TComponent* object : loaded.items_) {
        if (auto* p = dynamic_cast<TNullPanel*>(object); p && p->OwnerList == &loaded)
            p->OwnerList = nullptr;
        if (Contains(object))
            continue;
        items_.push_back(object);
        AdoptOwnerList(object);
        LastAdded = object;
    }
    loaded.items_.clear();
}

bool TObjectList::LoadFromFile(const QString& fileName)
{
    TMemoryStream stream;
    try {
        stream.LoadFromFile(fileName);
    } catch (const std::exception& e) {
        ShowReadError(fileName, e.what());
        return false;
    }
    ObjectFileScope objectFile;
    TDynPanel* const parent = CurrentParent;
    TDynDBForm* const form = CurrentForm;
    TObjectList* const list = CurrentList;
    // The objects are read into a list of their own and join this one only when the whole file
    // was read; a file that breaks off leaves nothing behind.
    TObjectList loaded;
    try {
        const double version = stream.ReadDouble();
        stream.ReadDouble();  // date
        stream.ReadInt32();   // screen height of the writer
        stream.ReadInt32();   // screen width
        if (!(ProgramVersionNumber >= version)) {
            TDialogs::Get().MessageDlg(Texts(158) + FloatToStr(version) + Texts(159), TMsgDlgType::Confirmation,
                                       mbYesNoCancel);
            return false;
        }
        loaded.LoadFromStream(stream);
    } catch (const std::exception& e) {
        CurrentParent = parent;
        CurrentForm = form;
        CurrentList = list;
        ShowReadError(fileName, e.what());
        return false;
    }
    StoredCount = loaded.StoredCount;
    TakeOver(loaded);
    return true;
}
