// The designer's object commands: creating objects from the "Add object" entries, choosing
// objects in the object lists, the private clipboard (copy, cut, paste, load object), delete,
// bringing removed objects back, and locking the whole project.
#include "content/DynGraphik.h"
#include "content/Header.h"
#include "designer/Objectgenerator.h"
#include "designer/PanelMenu.h"
#include "grids/DynEdit.h"
#include "objects/BilderListe.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "objects/DynMultiPanel.h"
#include "objects/DynRichEdit.h"
#include "objects/MovePanel.h"
#include "objects/ObjectList.h"
#include "objects/RScrollBox.h"
#include "objects/RemovedObjects.h"
#include "platform/Dialogs.h"
#include "shell/Variable.h"
#include <QSignalBlocker>

namespace {
bool IsShapeKind(int kind)
{
    return kind == pkLine || kind == pkRectangle || kind == pkCircle;
}

// The object of a placing entry, made in the container; nil for an entry whose kind the program
// does not have.
TDynPanel* MakeKindObject(int kind, TComponent* owner, TDynMultiPanel* container)
{
    switch (kind) {
    case pkPanel:
        return new TDynRichEdit(owner, container);
    case pkEditfield:
        return new TDynEdit(owner, container);
    case pkPicture: {
        auto* picture = new TDynRichEdit(owner, container);
        picture->Name += Texts(291);
        picture->SetHint(picture->Name);
        return picture;
    }
    case pkLine:
        return new TDynGraphik(owner, container, gsLine);
    case pkRectangle:
        return new TDynGraphik(owner, container, gsRectangle);
    case pkCircle:
        return new TDynGraphik(owner, container, gsCircle);
    default:
        return nullptr;
    }
}

bool IsHeaderOrFooter(const TDynPanel* object)
{
    const Int32 code = object->KindInfo.Code;
    return code == kcHeader || code == kcFooter;
}

// Locks or unlocks every object inside a container, at every depth.
void LockChildren(TDynPanel* container, bool locked)
{
    for (int i = 0; i < container->Children->Count(); ++i) {
        TDynPanel* child = container->Children->Panel(i);
        if (!child)
            continue;
        child->SetpLock(locked);
        child->pLock = locked;
        LockChildren(child, locked);
    }
}

// Frees an object read from a file that is not kept: a form also leaves the project.
void DropLoaded(TDYNProject* project, TComponent* object)
{
    if (auto* form = dynamic_cast<TDynDBForm*>(object)) {
        if (project)
            project->Children->Unlink(form);
        QWidget* tab = form->Tab;
        delete form;
        delete tab;
        return;
    }
    delete object;
}
} // namespace

// ---- creation ----

bool TObjectgenerator::CanCreateKind(int kind)
{
    switch (kind) {
    case NewFormEntry:
    case pkPanel:
    case pkEditfield:
    case pkPicture:
    case pkLine:
    case pkRectangle:
    case pkCircle:
        return true;
    default:
        return false;
    }
}

void TObjectgenerator::CreatePendingObject(TDynMultiPanel* target, const TDrawRect& rect)
{
    const int kind = PendingKind;
    PendingKind = NoPendingKind;
    if (!target || kind == NoPendingKind)
        return;
    DrawRect = rect;
    CreateObject(kind, target);
}

void TObjectgenerator::CreateObject(int kind, TDynMultiPanel* container)
{
    if (!Project || !CanCreateKind(kind) || AllLocked)
        return;
    if (kind != NewFormEntry && !container)
        return;
    Creating = true;
    HideAllHandles();
    Modified = true;
    if (kind == NewFormEntry) {
        TDynDBForm* form = Project->NewForm();
        // The new page comes to front; its form becomes the form in design.
        Project->PageControl->setCurrentWidget(form->Tab);
        form->Select();
        FillObjectCombo();
    } else {
        TObjectList* list = container->Children.get();
        CurrentParent = container;
        CurrentList = list;
        const int before = list->Count();
        TComponent* owner = CurrentForm ? static_cast<TComponent*>(CurrentForm) : static_cast<TComponent*>(container);
        TDynPanel* object = MakeKindObject(kind, owner, container);
        if (object) {
            if (IsShapeKind(kind))
                list->InsertGraphic(object);
            else
                list->Add(object);
            if (list->Count() > before) {
                object->OwnerList = list;
                object->ApplyZoom(ZoomFactor);
                object->UpdateLayout();
                if (!IsShapeKind(kind) && !IsHeaderOrFooter(object))
                    object->show();
                object->SnapshotFlags();
                FillObjectCombo();
            } else {
                delete object;
            }
        }
    }
    Creating = false;
    PlaceHandles();
    for (TMovePanel* h : Handles)
        if (h && h->isVisible())
            h->raise();
}

// ---- the object lists ----

void TObjectgenerator::FillObjectCombo()
{
    const QSignalBlocker block(ObjectCombo);
    ObjectCombo->clear();
    ComboObjects.clear();
    if (!Project)
        return;
    auto add = [this](TDynPanel* object) {
        ObjectCombo->addItem(object->Name);
        ComboObjects.emplace_back(object);
    };
    std::function<void(TDynPanel*)> walk = [&](TDynPanel* container) {
        for (int i = 0; i < container->Children->Count(); ++i) {
            TDynPanel* child = container->Children->Panel(i);
            if (!child)
                continue;
            add(child);
            const Int32 code = child->KindInfo.Code;
            if (code != kcProject && code != kcRowColPanel)
                walk(child);
        }
    };
    add(Project);
    if (CurrentForm) {
        add(CurrentForm);
        walk(CurrentForm);
    }
    int selected = -1;
    for (size_t i = 0; i < ComboObjects.size(); ++i)
        if (ComboObjects[i] == SelectedObject)
            selected = static_cast<int>(i);
    ObjectCombo->setCurrentIndex(selected);
}

namespace {
// Whether a choice in the object lists is ignored: a stored-text grid is selected and its data
// sheet is shown.
bool ChoiceBlocked(const TObjectgenerator& d)
{
    return SelectedObject && SelectedObject->KindInfo.Code == kcSTTabelle && d.PropertyPages
           && d.PropertyPages->currentIndex() == 2;
}

// Makes a chosen object visible where it lives.
void Reveal(TObjectgenerator& d, TDynPanel* object)
{
    if (auto* form = dynamic_cast<TDynDBForm*>(object)) {
        if (d.Project && form->Tab)
            d.Project->PageControl->setCurrentWidget(form->Tab);
        return;
    }
    if (object == d.Project)
        return;
    // A header or footer shows only while it is switched on.
    if (IsHeaderOrFooter(object)) {
        if (TDynPanel* host = object->ContainerObject(); host && host->HasHeaderFooterOn(object->KindInfo.Code))
            object->show();
        return;
    }
    object->ShowUnlessHidden();
}
} // namespace

void TObjectgenerator::ChooseObject(int index)
{
    if (ChoiceBlocked(*this) || index < 0 || index >= static_cast<int>(ComboObjects.size()))
        return;
    TDynPanel* object = ComboObjects[size_t(index)];
    if (!object) {
        FillObjectCombo();
        return;
    }
    Reveal(*this, object);
    object->Select();
    ShowPropertyRows(object);
    HiddenObjectCombo->hide();
    ObjectCombo->raise();
}

void TObjectgenerator::ShowRemovedObjects()
{
    HiddenObjectCombo->clear();
    HiddenComboObjects.clear();
    const TRemovedObjects& removed = RemovedObjects();
    for (int i = 0; i < removed.Count(); ++i) {
        const TRemovedObjects::Entry e = removed.Items(i);
        HiddenObjectCombo->addItem(e.Text);
        HiddenComboObjects.emplace_back(e.Object);
    }
    if (HiddenComboObjects.empty())
        return;
    // No entry is chosen yet, so that choosing the first one is a choice too.
    HiddenObjectCombo->setCurrentIndex(-1);
    HiddenObjectCombo->show();
    HiddenObjectCombo->raise();
}

void TObjectgenerator::UndoRemove()
{
    const int index = HiddenObjectCombo->currentIndex();
    if (ChoiceBlocked(*this) || index < 0 || index >= static_cast<int>(HiddenComboObjects.size()))
        return;
    TDynPanel* object = HiddenComboObjects[size_t(index)];
    TObjectList* list = object ? object->OwnerList : nullptr;
    if (!object || !list) {
        // Gone meanwhile, or its list with it.
        if (object)
            RemovedObjects().Remove(object);
        HiddenObjectCombo->hide();
        ObjectCombo->raise();
        return;
    }
    Reveal(*this, object);
    list->Add(object);
    object->OwnerList = list;
    // The object uses its picture again.
    if (object->Picture)
        ++object->Picture->UseCount;
    RemovedObjects().Remove(object);
    object->ApplyZoom(ZoomFactor);
    object->UpdateLayout();
    Modified = true;
    object->Select();
    ShowPropertyRows(object);
    HiddenObjectCombo->hide();
    HiddenComboObjects.clear();
    HiddenObjectCombo->clear();
    FillObjectCombo();
    ObjectCombo->raise();
}

// ---- clipboard ----

void TObjectgenerator::CopyObject()
{
    TDynPanel* object = SelectedObject;
    if (!object || object == this || !object->KindInfo.CanCopy)
        return;
    Clipboard.Clear();
    try {
        TObjectList writer;
        writer.WriteEntry(Clipboard, object);
    } catch (const std::exception&) {
        Clipboard.Clear();
    }
}

void TObjectgenerator::CutObject()
{
    TDynPanel* object = SelectedObject;
    if (!object || object == this || !object->KindInfo.CanCopy)
        return;
    HideAllHandles();
    CopyObject();
    if (Clipboard.Size() > 0)
        DeleteObject();
}

namespace {
// Paste from the clipboard (fileName empty) or Load object from a file: the object joins the
// container the selection lies in, at a quarter of its width and height.
void PasteInto(TObjectgenerator& d, const QString& fileName)
{
    TDYNProject* project = d.Project;
    if (!project)
        return;
    TDynPanel* from = SelectedObject;
    if (!from || from == project || from == &d)
        from = CurrentForm;
    while (from && from->KindInfo.Code != kcDBForm && from->KindInfo.Code != kcRichEdit)
        from = from->ContainerObject();
    if (!from)
        from = CurrentForm;
    auto* container = dynamic_cast<TDynMultiPanel*>(from);
    if (!container)
        return;

    TDynDBForm* const form = CurrentForm;
    TDynPanel* const parentBefore = CurrentParent;
    TObjectList* const listBefore = CurrentList;
    d.HideAllHandles();
    Loading = true;
    if (form)
        form->hide();
    CurrentParent = container;
    CurrentList = container->Children.get();

    TObjectList loaded;
    bool read = true;
    if (fileName.isEmpty()) {
        try {
            d.Clipboard.SetPosition(0);
            if (TComponent* object = loaded.ReadEntry(d.Clipboard))
                loaded.AppendUnchecked(object);
        } catch (const std::exception&) {
            read = false;
        }
        if (!read)
            d.Clipboard.Clear();
    } else {
        read = loaded.LoadFromFile(fileName);
    }

    auto* object = loaded.Count() > 0 ? loaded.Panel(0) : nullptr;
    for (int i = loaded.Count() - 1; i >= 1; --i)
        DropLoaded(project, loaded.Items(i));
    loaded.UnlinkAll();

    bool kept = read && object;
    if (kept && !fileName.isEmpty())
        object->Title = fileName;
    auto* pastedForm = dynamic_cast<TDynDBForm*>(object);
    if (kept && pastedForm) {
        pastedForm->OwnerList = project->Children.get();
        CurrentForm = pastedForm;
    } else if (kept) {
        // A database label needs a form of its own with nothing but header and footer.
        const bool label = object->KindInfo.Code == kcDBEtikett;
        if (label && !(form && form->Children->Count() == 2 && container != form)) {
            TDialogs::Get().MessageDlg(Texts(211), TMsgDlgType::Warning, mbOK);
            kept = false;
        } else {
            container->Children->Add(object);
            object->OwnerList = container->Children.get();
            object->pleft = RoundHalfEven(container->pwidth / 4.0);
            object->ptop = RoundHalfEven(container->pheight / 4.0);
            object->ApplyZoom(ZoomFactor);
        }
    }
    if (!kept && object) {
        DropLoaded(project, object);
        object = nullptr;
        pastedForm = nullptr;
    }
    Loading = false;
    if (!object) {
        CurrentParent = parentBefore;
        CurrentList = listBefore;
        CurrentForm = form;
        if (form)
            form->show();
        return;
    }

    object->RebuildName();
    object->SetHint(object->Name);
    Modified = true;
    if (pastedForm) {
        pastedForm->SetObjectName(pastedForm->Name);
        if (form)
            form->show();
        // Its page comes to front; the project lays the form out and selects it.
        project->PageControl->setCurrentWidget(pastedForm->Tab);
        project->PageControl->show();
        pastedForm->CompletePendingLayout();
        pastedForm->Select();
        pastedForm->UpdateLayout();
    } else {
        if (form)
            form->show();
        object->UpdateLayout();
        TDynPanel::UpdateChildren(object);
        TDynPanel::ShowChildren(object, true);
        const Int32 code = object->KindInfo.Code;
        if (code != kcGraphik && !IsHeaderOrFooter(object) && object->StoredVisible)
            object->show();
        object->Select();
        if (CurrentForm)
            CurrentForm->UpdateLayout();
    }
    d.FillObjectCombo();
    d.PlaceHandles();
}
} // namespace

void TObjectgenerator::PasteObject()
{
    if (Clipboard.Size() == 0 || AllLocked) {
        Clipboard.Clear();
        return;
    }
    PasteInto(*this, QString());
}

// ---- delete ----

void TObjectgenerator::DeleteObject()
{
    TDynPanel* object = SelectedObject;
    if (!Project || !object || object == this || object == Project || AllLocked)
        return;
    if (IsHeaderOrFooter(object))
        return;
    if (TDynPanel* c = object->ContainerObject()) {
        const Int32 code = c->KindInfo.Code;
        if (code == kcPrintZeile || code == kcDBEtikett)
            return;
    }
    HideAllHandles();
    if (auto* form = dynamic_cast<TDynDBForm*>(object)) {
        if (Project->FormCount() <= 1) {
            DeleteProject();
            if (!Project) {
                Modified = false;
                if (Menu)
                    Menu->EnableCaptions(false);
            }
            return;
        }
        const int index = Project->Children->IndexOf(form);
        QTabWidget* pages = Project->PageControl;
        // Another page comes to front first; the project shows its form.
        const int other = pages->indexOf(form->Tab) == 0 ? 1 : 0;
        pages->setCurrentIndex(other);
        Loading = true;
        if (index >= 0)
            Project->Children->RemoveObject(form);
        QWidget* tab = form->Tab;
        if (CurrentForm == form)
            CurrentForm = nullptr;
        tab->hide();
        delete form;
        delete tab;
        Loading = false;
        Project->PageChanged();
        SelectedObject = nullptr;
        HideAllHandles();
        Modified = true;
        FillObjectCombo();
        return;
    }
    if (CurrentForm && CurrentForm->ReportTable == object)
        CurrentForm->ReportTable = nullptr;
    TDynPanel* container = object->ContainerObject();
    if (TObjectList* list = object->OwnerList)
        list->RemoveObject(object);
    else
        object->hide();
    if (object->KindInfo.Code == kcGraphik && container)
        container->UpdateLayout();
    Modified = true;
    if (CurrentForm)
        CurrentForm->Select();
    else
        SelectedObject = nullptr;
    FillObjectCombo();
    if (Menu)
        Menu->EnableCaptions(true);
}

// ---- the whole project ----

void TObjectgenerator::LockAll(bool locked)
{
    if (locked == AllLocked)
        return;
    AllLocked = locked;
    Modified = true;
    if (Project) {
        Project->pLock = locked;
        for (int i = 0; i < Project->FormCount(); ++i)
            if (TDynDBForm* form = Project->Form(i))
                LockChildren(form, locked);
    }
    if (locked)
        PendingKind = NoPendingKind;
    if (Menu)
        Menu->UpdateLockState();
    if (locked != PagesHidden)
        TogglePropertyPages(this);
    if (locked)
        HideAllHandles();
    else
        PlaceHandles();
}

void TObjectgenerator::NewPaint()
{
    if (!CurrentForm)
        return;
    CurrentForm->UpdateLayout();
    TDynPanel::UpdateChildren(CurrentForm);
    CurrentForm->Repaint();
    FillObjectCombo();
}

void TObjectgenerator::PasteFromFile(const QString& fileName)
{
    if (AllLocked || fileName.isEmpty())
        return;
    PasteInto(*this, fileName);
}
