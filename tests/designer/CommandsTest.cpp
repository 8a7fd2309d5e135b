// The designer's commands on a real designer: the main menu and its captions, placing objects
// with the mouse, selection, the clipboard, delete and undo, the project lock, the toolbar and the
// file commands with their dialogs answered by the scripted dialogs.
#include "content/DynGraphik.h"
#include "content/Header.h"
#include "designer/BImage.h"
#include "designer/GeneratorToolBar.h"
#include "designer/ObPanel.h"
#include "designer/Objectgenerator.h"
#include "designer/PanelMenu.h"
#include "grids/DynEdit.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "objects/DesignerLink.h"
#include "objects/DynRichEdit.h"
#include "objects/MovePanel.h"
#include "objects/RScrollBox.h"
#include "objects/RemovedObjects.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "platform/Screen.h"
#include "shell/OstrevoReportGenerator.h"
#include "shell/Texts.h"
#include "shell/Variable.h"
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <algorithm>
#include <tuple>

namespace {

// What identifies an object after a save and a load.
struct Snapshot {
    QString Parent;
    Int32 Code;
    QString Name;
    Int32 Left, Top, Width, Height, Shape;
    auto Key() const { return std::tie(Parent, Code, Name, Left, Top, Width, Height, Shape); }
    bool operator==(const Snapshot& o) const { return Key() == o.Key(); }
    bool operator<(const Snapshot& o) const { return Key() < o.Key(); }
};

std::ostream& operator<<(std::ostream& os, const Snapshot& s)
{
    return os << s.Parent.toStdString() << '/' << s.Code << ' ' << s.Name.toStdString() << " (" << s.Left << ','
              << s.Top << ' ' << s.Width << 'x' << s.Height << ") shape " << s.Shape;
}

void Collect(const TDynPanel* container, std::vector<Snapshot>& out)
{
    for (int i = 0; i < container->Children->Count(); ++i) {
        const TDynPanel* o = container->Children->Panel(i);
        if (!o)
            continue;
        const auto* shape = qobject_cast<const TDynGraphik*>(o);
        // A shape takes its name from its kind when it is read; its geometry identifies it.
        out.push_back({container->Name, o->KindInfo.Code, shape ? QString() : o->Name, o->pleft, o->ptop, o->pwidth,
                       o->pheight, shape ? shape->Shape : 0});
        Collect(o, out);
    }
}

QStringList MenuTexts(const QMenu* menu)
{
    QStringList out;
    for (const QAction* a : menu->actions())
        out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

class Commands : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        work = dir.path() + '/';
        InitVariables(dir.path());
        FillTextDefaults();
        TScreen::Override(96, 1280, 1024);
        TPrinter::Get().Reset();
        InstallDesignerFactory();
        window = std::make_unique<QWidget>();
        window->resize(1200, 900);
        host = std::make_unique<TOstrevoReportGenerator>(nullptr, window.get());
        // Every file the designer writes goes to the temporary directory.
        host->setProperty("kivoWorkDir", work);
        WorkDir = work;
        window->show();
        QApplication::setActiveWindow(window.get());
        Attach();
    }
    void TearDown() override
    {
        QWidget* popup = nullptr;
        while ((popup = QApplication::activePopupWidget()))
            popup->close();
        host.reset();
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        TScreen::ClearOverride();
    }

    void Attach()
    {
        d = TheDesigner;
        ASSERT_NE(d, nullptr);
        d->BackupFileName = work + QStringLiteral("tmpBackUp.~~KVR");
        ASSERT_NE(d->Menu, nullptr);
        ASSERT_NE(d->ToolBar, nullptr);
        menu = d->Menu;
        form = d->Project ? d->Project->Form(0) : nullptr;
        ASSERT_NE(form, nullptr);
    }

    // Opens a caption's popup with the mouse and clicks the entry (inside a submenu when given).
    void Pick(TMenuCaption* caption, QAction* item, QMenu* sub = nullptr)
    {
        ASSERT_TRUE(caption->isEnabled() && caption->isVisible()) << caption->text().toStdString();
        QTest::mouseClick(caption, Qt::LeftButton);
        QMenu* popup = caption->Popup;
        ASSERT_TRUE(popup->isVisible());
        if (sub) {
            QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(sub->menuAction()).center());
            QTRY_VERIFY(sub->isVisible());
            popup = sub;
        }
        ASSERT_TRUE(item->isVisible() && item->isEnabled()) << item->text().toStdString();
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(item).center());
        QCoreApplication::processEvents();
    }

    // A press, a move and a release of the left button on one widget.
    // The mouse's places are fixed on the screen: a widget that moves meanwhile sees them move.
    static void Drag(QWidget* w, QPoint from, QPoint to)
    {
        const QPoint start = w->mapToGlobal(from), end = w->mapToGlobal(to);
        QTest::mousePress(w, Qt::LeftButton, {}, from);
        QTest::mouseMove(w, w->mapFromGlobal((start + end) / 2));
        QTest::mouseMove(w, w->mapFromGlobal(end));
        QTest::mouseRelease(w, Qt::LeftButton, {}, w->mapFromGlobal(end));
    }

    // Chooses an "Add object" entry and drags its outline in a container; returns what was made.
    template <class T = TDynPanel>
    T* Place(int kind, TDynMultiPanel* container, QPoint from, QPoint to, QMenu* sub = nullptr)
    {
        const std::vector<TComponent*> before = container->Children->All();
        Pick(menu->AddCaption, menu->KindItems.at(kind), sub);
        EXPECT_EQ(PendingKind, kind);
        Drag(container, from, to);
        EXPECT_EQ(PendingKind, NoPendingKind);
        EXPECT_EQ(container->Children->Count(), int(before.size()) + 1);
        for (TComponent* c : container->Children->All())
            if (std::find(before.begin(), before.end(), c) == before.end())
                if (auto* o = dynamic_cast<T*>(c))
                    return o;
        ADD_FAILURE() << "nothing was made for kind " << kind;
        return nullptr;
    }

    // Chooses an entry of a combo with the keyboard, as the user does.
    static void ChooseEntry(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index - 1);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
    }

    int ComboIndex(const TDynPanel* object) const
    {
        for (size_t i = 0; i < d->ComboObjects.size(); ++i)
            if (d->ComboObjects[i] == object)
                return static_cast<int>(i);
        return -1;
    }

    // Types a value into a property row and commits it with Enter.
    void Type(const char* rowName, const QString& text)
    {
        TObPanel* r = d->RowByName(QString::fromLatin1(rowName));
        ASSERT_NE(r, nullptr) << rowName;
        ASSERT_GT(r->GridRow, 0) << rowName << " is not shown";
        TObStringGrid* g = d->PropertyGrids[size_t(r->Sheet)];
        d->PropertyPages->setCurrentIndex(r->Sheet);
        QTest::mouseClick(g, Qt::LeftButton, {}, g->CellRect(1, r->GridRow).center());
        ASSERT_TRUE(d->ValueEdit->isVisible()) << rowName;
        d->ValueEdit->clear();
        QTest::keyClicks(d->ValueEdit, text);
        QTest::keyClick(d->ValueEdit, Qt::Key_Return);
    }

    // A key with the designer's window active.
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        // A closed popup leaves no active window on the offscreen platform.
        QApplication::setActiveWindow(window.get());
        d->ObjectCombo->setFocus();
        QTest::keyClick(d->ObjectCombo, Qt::Key(key), mods);
        QCoreApplication::processEvents();
    }

    // A saved project file with one panel, written as the designer writes it.
    QString WriteProject(const QString& name)
    {
        DrawRect = TDrawRect{0, 0, 0, 0, 250, 40, 350, 90};
        d->CreateObject(pkPanel, form);
        EXPECT_TRUE(d->Project->SaveProject(work + name));
        return work + name;
    }

    std::vector<Snapshot> FormObjects() const
    {
        std::vector<Snapshot> out;
        if (CurrentForm)
            Collect(CurrentForm, out);
        // Painting puts header and footer first; the order of the list is not what is compared.
        std::sort(out.begin(), out.end());
        return out;
    }

    bool HandlesShown() const
    {
        for (TMovePanel* h : d->Handles)
            if (!h || h->isHidden())
                return false;
        return true;
    }

    QTemporaryDir dir;
    QString work;
    std::unique_ptr<QWidget> window;
    std::unique_ptr<TOstrevoReportGenerator> host;
    TObjectgenerator* d = nullptr;
    TPanelMenu* menu = nullptr;
    TDynDBForm* form = nullptr;
};

// ---- the menu ----

TEST_F(Commands, MenuHoldsEveryEntryInItsPlace)
{
    EXPECT_EQ(menu->FileCaption->text(), QStringLiteral("File "));
    EXPECT_EQ(menu->EditCaption->text(), QStringLiteral("Edit "));
    EXPECT_EQ(menu->AddCaption->text(), QStringLiteral("Add object "));
    EXPECT_EQ(menu->InfoCaption->text(), QStringLiteral("Info"));
    EXPECT_EQ(menu->FileCaption->parentWidget(), d->MenuBar);
    EXPECT_LT(menu->FileCaption->x(), menu->EditCaption->x());
    EXPECT_LT(menu->EditCaption->x(), menu->AddCaption->x());
    EXPECT_LT(menu->AddCaption->x(), menu->InfoCaption->x());

    const QString none;
    EXPECT_EQ(MenuTexts(menu->FilePopup),
              (QStringList{"New project", "Open", "Load object", "-", "Save", "Save as", "-", "Preview",
                           "Printersetup", "-", none, none, none, none, none, none, "-", "All locked", "-", "Exit"}));
    EXPECT_EQ(MenuTexts(menu->EditPopup),
              (QStringList{"Undo", "Newpaint", "-", "Cut", "Copy", "Add object", "delete", "-", "Project Optionen",
                           "Delete project", "-", "Options"}));
    EXPECT_EQ(MenuTexts(menu->AddPopup),
              (QStringList{"New form", "Panel", "-", "Editfield", "Label", "Grafic", "Grids", "Pagecounter", "-",
                           "SQL-Datasource", "Navigator", "Datafield input", "Chart", "Datafield", "DB-picture",
                           "Barcode", "DB-Grid", "DB-Report", "-"}));
    EXPECT_EQ(MenuTexts(menu->GraficMenu), (QStringList{"picture", "Line", "Rectangle", "Circle"}));
    EXPECT_EQ(MenuTexts(menu->GridsMenu), (QStringList{"Standart grid", "Enhanced Grid"}));
    EXPECT_EQ(MenuTexts(menu->DatafieldInputMenu), (QStringList{none, none}));
    EXPECT_EQ(MenuTexts(menu->InfoPopup),
              (QStringList{"Help", "Help index", "Contact: " + TPanelMenu::SupportMail,
                           "Internet : " + TPanelMenu::WebAddress, "Texstversion:  beta 0.1 /  20.09.2002"}));
    EXPECT_EQ(menu->SaveAsItem->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    EXPECT_EQ(menu->DeleteItem->shortcut(), QKeySequence(Qt::Key_Delete));

    // Every kind the program has can be placed; the others wait for their kinds.
    QTest::mouseClick(menu->AddCaption, Qt::LeftButton);
    for (const auto& [kind, item] : menu->KindItems) {
        const bool live = kind == pkPanel || kind == pkEditfield || kind == pkPicture || kind == pkLine
                          || kind == pkRectangle || kind == pkCircle;
        EXPECT_EQ(item->isEnabled(), live) << item->text().toStdString();
    }
    EXPECT_TRUE(menu->NewFormItem->isEnabled());
    EXPECT_FALSE(menu->LabelItem->isEnabled());
    EXPECT_FALSE(menu->SqlItem->isEnabled());
    menu->AddPopup->close();
    QTest::mouseClick(menu->FileCaption, Qt::LeftButton);
    EXPECT_FALSE(menu->PreviewItem->isEnabled());
    menu->FilePopup->close();

    // Contact writes a mail to the maker.
    Pick(menu->InfoCaption, menu->ContactItem);
    EXPECT_EQ(ScriptedDialogs()->LastText(), "mailto:" + TPanelMenu::SupportMail);
}

TEST_F(Commands, CaptionsAreUsableOnlyWhileAProjectExists)
{
    EXPECT_TRUE(menu->EditCaption->isEnabled());
    EXPECT_TRUE(menu->AddCaption->isEnabled());
    // Deleting the only form deletes the project after the save question.
    Modified = true;
    ScriptedDialogs()->QueueResult(mrNo);
    Pick(menu->EditCaption, menu->DeleteItem); // the form is selected after start
    EXPECT_EQ(ScriptedDialogs()->LastText(), QStringLiteral("Save changes to Untitled?"));
    EXPECT_EQ(d->Project, nullptr);
    EXPECT_EQ(CurrentForm, nullptr);
    EXPECT_FALSE(Modified);
    EXPECT_FALSE(menu->EditCaption->isEnabled());
    EXPECT_FALSE(menu->AddCaption->isEnabled());
    // Nothing to place into, nothing to paste into.
    d->PasteObject();
    d->CreateObject(TObjectgenerator::NewFormEntry, nullptr);
    EXPECT_EQ(d->Project, nullptr);

    Pick(menu->FileCaption, menu->NewProjectItem);
    ASSERT_NE(d->Project, nullptr);
    EXPECT_EQ(d->Project->FormCount(), 1);
    EXPECT_TRUE(menu->EditCaption->isEnabled());
    EXPECT_TRUE(menu->AddCaption->isEnabled());
    EXPECT_FALSE(Modified);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Project  Untitled"));
}

// ---- the whole path: place, select, move, clipboard, delete, lock, save, quit, start, open ----

TEST_F(Commands, ObjectsMadeWithTheMouseSurviveQuitAndReopen)
{
    // Placing: every kind the program has, by dragging its outline on the form.
    auto* panel = Place<TDynRichEdit>(pkPanel, form, {300, 100}, {500, 250});
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(std::tuple(panel->pleft, panel->ptop, panel->pwidth, panel->pheight), std::tuple(300, 100, 200, 150));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(Modified);
    auto* picture = Place<TDynRichEdit>(pkPicture, form, {700, 240}, {560, 100}, menu->GraficMenu);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(std::tuple(picture->pleft, picture->ptop, picture->pwidth, picture->pheight), std::tuple(560, 100, 140, 140));
    EXPECT_TRUE(picture->Name.endsWith(QStringLiteral("picture")));
    auto* edit = Place<TDynEdit>(pkEditfield, form, {300, 300}, {420, 340});
    ASSERT_NE(edit, nullptr);
    auto* line = Place<TDynGraphik>(pkLine, form, {300, 480}, {500, 400}, menu->GraficMenu);
    auto* rect = Place<TDynGraphik>(pkRectangle, form, {550, 400}, {650, 480}, menu->GraficMenu);
    auto* circle = Place<TDynGraphik>(pkCircle, form, {300, 520}, {380, 600}, menu->GraficMenu);
    ASSERT_TRUE(line && rect && circle);
    EXPECT_EQ(line->Shape, gsLine);
    EXPECT_EQ(line->Direction, ldUpRight);
    EXPECT_EQ(rect->Shape, gsRectangle);
    EXPECT_EQ(circle->Shape, gsCircle);
    EXPECT_FALSE(line->isVisible()); // shapes paint on their container
    auto* inner = Place<TDynRichEdit>(pkPanel, panel, {20, 20}, {100, 80});
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->parentWidget(), panel);
    EXPECT_EQ(std::tuple(inner->pleft, inner->ptop), std::tuple(20, 20));

    // The object list holds the project, the form and every object, nested ones included.
    EXPECT_EQ(d->ObjectCombo->itemText(0), d->Project->Name);
    EXPECT_EQ(d->ObjectCombo->itemText(1), form->Name);
    for (const TDynPanel* o : {static_cast<TDynPanel*>(panel), static_cast<TDynPanel*>(inner),
                               static_cast<TDynPanel*>(picture), static_cast<TDynPanel*>(edit),
                               static_cast<TDynPanel*>(line)})
        EXPECT_GE(ComboIndex(o), 2) << o->Name.toStdString();

    // Selecting by a click, and in the object list.
    QTest::mouseClick(panel, Qt::LeftButton, {}, {190, 140});
    EXPECT_EQ(SelectedObject, panel);
    EXPECT_EQ(d->ObjectCombo->currentIndex(), ComboIndex(panel));
    EXPECT_TRUE(HandlesShown());
    ChooseEntry(d->ObjectCombo, ComboIndex(edit));
    EXPECT_EQ(SelectedObject, edit);
    ChooseEntry(d->ObjectCombo, ComboIndex(panel));
    EXPECT_EQ(SelectedObject, panel);

    // Moving and sizing with the mouse.
    Drag(panel, {190, 140}, {240, 170});
    EXPECT_EQ(std::tuple(panel->pleft, panel->ptop), std::tuple(350, 130));
    Drag(panel, {panel->Width() - 2, panel->Height() - 2}, {panel->Width() + 28, panel->Height() + 18});
    EXPECT_EQ(std::tuple(panel->pwidth, panel->pheight), std::tuple(230, 170));
    EXPECT_EQ(std::tuple(panel->pleft, panel->ptop), std::tuple(350, 130));

    // And through the property rows (millimetres).
    QTest::mouseClick(edit, Qt::LeftButton, {}, {1, 1});
    ASSERT_EQ(SelectedObject, edit);
    Type("CleftEdit", QStringLiteral("70"));
    Type("CtopEdit", QStringLiteral("90"));
    Type("CwidthEdit", QStringLiteral("40"));
    EXPECT_EQ(edit->pleft, RoundHalfEven(70 * PixelsPerMmY));
    EXPECT_EQ(edit->ptop, RoundHalfEven(90 * PixelsPerMmY));
    EXPECT_EQ(edit->pwidth, RoundHalfEven(40 * PixelsPerMmY));

    // Copy the panel with its inner panel, paste it onto the form: a quarter into the form.
    QTest::mouseClick(panel, Qt::LeftButton, {}, {190, 140});
    Pick(menu->EditCaption, menu->CopyItem);
    EXPECT_GT(d->Clipboard.Size(), 0);
    QTest::mouseClick(form, Qt::LeftButton, {}, {700, 1000});
    ASSERT_EQ(SelectedObject, form);
    const int formCount = form->Children->Count();
    Key(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(form->Children->Count(), formCount + 1);
    auto* pasted = dynamic_cast<TDynRichEdit*>(form->Children->Panel(formCount));
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(std::tuple(pasted->pleft, pasted->ptop, pasted->pwidth, pasted->pheight),
              std::tuple(RoundHalfEven(form->pwidth / 4.0), RoundHalfEven(form->pheight / 4.0), 230, 170));
    EXPECT_EQ(pasted->Children->Count(), 1);
    EXPECT_TRUE(pasted->isVisible());
    EXPECT_EQ(SelectedObject, pasted);
    EXPECT_GE(ComboIndex(pasted), 0);

    // Cut the picture with the toolbar, paste it back onto the form.
    QTest::mouseClick(picture, Qt::LeftButton, {}, {5, 5});
    ASSERT_EQ(SelectedObject, picture);
    QTest::mouseClick(d->ToolBar->CutButton, Qt::LeftButton);
    EXPECT_FALSE(form->Children->Contains(picture));
    EXPECT_FALSE(picture->isVisible());
    EXPECT_EQ(SelectedObject, form);
    QTest::mouseClick(d->ToolBar->EinButton, Qt::LeftButton);
    ASSERT_EQ(form->Children->Count(), formCount + 1);
    auto* pastedPicture = form->Children->Panel(formCount);
    EXPECT_NE(pastedPicture, picture);
    EXPECT_EQ(std::tuple(pastedPicture->pwidth, pastedPicture->pheight), std::tuple(140, 140));

    // Delete the edit field with the Delete key and bring it back from the removed objects.
    QTest::mouseClick(edit, Qt::LeftButton, {}, {1, 1});
    ASSERT_EQ(SelectedObject, edit);
    Key(Qt::Key_Delete);
    EXPECT_FALSE(form->Children->Contains(edit));
    EXPECT_EQ(ComboIndex(edit), -1);
    Key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_TRUE(d->HiddenObjectCombo->isVisible());
    ASSERT_EQ(d->HiddenObjectCombo->count(), 2); // the cut picture and the edit field
    EXPECT_EQ(d->HiddenObjectCombo->itemText(1), form->Name + "  " + edit->Name);
    ChooseEntry(d->HiddenObjectCombo, 1);
    EXPECT_TRUE(form->Children->Contains(edit));
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(SelectedObject, edit);
    EXPECT_FALSE(d->HiddenObjectCombo->isVisible());
    EXPECT_GE(ComboIndex(edit), 0);
    EXPECT_EQ(RemovedObjects().Count(), 1);

    // Lock everything: nothing moves, the pages go; the toolbar switches it back on.
    Pick(menu->FileCaption, menu->LockItem);
    EXPECT_TRUE(AllLocked);
    EXPECT_TRUE(d->PagesHidden);
    EXPECT_TRUE(panel->Locked() && inner->Locked() && edit->Locked() && line->Locked());
    EXPECT_FALSE(menu->EditCaption->isVisible());
    EXPECT_FALSE(menu->AddCaption->isVisible());
    EXPECT_EQ(menu->LockItem->text(), QStringLiteral("All not locked"));
    EXPECT_FALSE(HandlesShown());
    Drag(panel, {190, 140}, {260, 200});
    EXPECT_EQ(std::tuple(panel->pleft, panel->ptop), std::tuple(350, 130));
    QTest::mouseClick(d->ToolBar->GeneratorButton, Qt::LeftButton);
    EXPECT_FALSE(AllLocked);
    EXPECT_FALSE(d->PagesHidden);
    EXPECT_FALSE(panel->Locked() || inner->Locked() || edit->Locked() || line->Locked());
    EXPECT_TRUE(menu->EditCaption->isVisible());
    EXPECT_EQ(menu->LockItem->text(), QStringLiteral("All locked"));

    // Save under a new name; saving does not clear Modified.
    const QString file = work + QStringLiteral("Tour.KvR");
    ScriptedDialogs()->QueueText(file);
    Pick(menu->FileCaption, menu->SaveItem);
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(d->Project->Title, file);
    EXPECT_EQ(d->RecentFiles.Strings(0), file);
    EXPECT_EQ(d->Caption(), "Tour.KvR - " + QGuiApplication::applicationDisplayName());
    EXPECT_TRUE(Modified);
    const std::vector<Snapshot> saved = FormObjects();
    ASSERT_EQ(saved.size(), 11u); // header, footer, 7 objects on the form, 2 inner panels

    // Quit: the save question is answered No; the designer goes.
    ScriptedDialogs()->QueueResult(mrNo);
    Pick(menu->FileCaption, menu->ExitItem);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(TheDesigner, nullptr);
    EXPECT_EQ(Designer(), nullptr);
    EXPECT_TRUE(QFileInfo::exists(work + QStringLiteral("Kivo.cnf")));

    // Start again: the recent files come from the configuration; open the project from there.
    new TObjectgenerator(host.get());
    QCoreApplication::processEvents(); // its parts show
    Attach();
    Pick(menu->FileCaption, menu->RecentItems[0]);
    EXPECT_EQ(menu->RecentItems[0]->text(), file);
    EXPECT_EQ(d->Project->Title, file);
    EXPECT_FALSE(Modified);
    EXPECT_EQ(FormObjects(), saved);
    EXPECT_EQ(window->windowTitle(), "Project  " + file);
}

// ---- placing, clipboard, delete ----

TEST_F(Commands, PlacingWithoutMovingTheMouseMakesAnObjectAtThePoint)
{
    Modified = false;
    Pick(menu->AddCaption, menu->KindItems.at(pkEditfield));
    QTest::mousePress(form, Qt::LeftButton, {}, {400, 300});
    QTest::mouseRelease(form, Qt::LeftButton, {}, {400, 300});
    ASSERT_EQ(form->Children->Count(), 3);
    auto* edit = dynamic_cast<TDynEdit*>(form->Children->Panel(2));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(std::tuple(edit->Left(), edit->Top()), std::tuple(400, 300));
    EXPECT_EQ(std::tuple(edit->pleft, edit->ptop), std::tuple(400, 300));
    EXPECT_NE(SelectedObject, edit); // selected once it is clicked
    EXPECT_TRUE(Modified);
    QTest::mouseClick(edit, Qt::LeftButton, {}, {1, 1});
    EXPECT_EQ(SelectedObject, edit);
}

TEST_F(Commands, PasteGoesAQuarterIntoTheSelectedContainer)
{
    auto* box = Place<TDynRichEdit>(pkPanel, form, {300, 100}, {700, 500});
    auto* edit = Place<TDynEdit>(pkEditfield, form, {300, 600}, {420, 640});
    ASSERT_TRUE(box && edit);
    QTest::mouseClick(edit, Qt::LeftButton, {}, {1, 1});
    d->CopyObject();
    QTest::mouseClick(box, Qt::LeftButton, {}, {200, 200});
    ASSERT_EQ(SelectedObject, box);
    d->PasteObject();
    ASSERT_EQ(box->Children->Count(), 1);
    TDynPanel* copy = box->Children->Panel(0);
    EXPECT_NE(dynamic_cast<TDynEdit*>(copy), nullptr);
    EXPECT_EQ(std::tuple(copy->pleft, copy->ptop), std::tuple(100, 100));
    EXPECT_EQ(std::tuple(copy->Left(), copy->Top()), std::tuple(100, 100));
    EXPECT_EQ(copy->parentWidget(), box);
    EXPECT_EQ(copy->Container, box);

    // A clipboard that cannot be read is emptied; nothing is added.
    d->Clipboard.SetData(QByteArray("broken"));
    d->PasteObject();
    EXPECT_EQ(d->Clipboard.Size(), 0);
    EXPECT_EQ(box->Children->Count(), 1);
}

TEST_F(Commands, HeaderAndFooterCannotBeCopiedNorDeleted)
{
    auto* panel = Place<TDynRichEdit>(pkPanel, form, {300, 100}, {500, 250});
    ASSERT_NE(panel, nullptr);
    QTest::mouseClick(panel, Qt::LeftButton, {}, {5, 5});
    d->CopyObject();
    const QByteArray clip = d->Clipboard.Data();
    ASSERT_FALSE(clip.isEmpty());
    for (TDynPanel* part : {static_cast<TDynPanel*>(form->Header), static_cast<TDynPanel*>(form->Footer)}) {
        ChooseEntry(d->ObjectCombo, ComboIndex(part));
        ASSERT_EQ(SelectedObject, part);
        EXPECT_FALSE(part->isVisible()); // switched off: choosing it does not show it
        Pick(menu->EditCaption, menu->DeleteItem);
        d->CopyObject();
        d->CutObject();
        EXPECT_TRUE(form->Children->Contains(part));
        EXPECT_EQ(SelectedObject, part);
        EXPECT_EQ(d->Clipboard.Data(), clip);
        EXPECT_EQ(RemovedObjects().Count(), 0);
    }
    // The entries follow: a kind that may not be copied turns Cut and Copy off.
    QTest::mouseClick(menu->EditCaption, Qt::LeftButton);
    EXPECT_FALSE(menu->CopyItem->isEnabled());
    EXPECT_FALSE(menu->CutItem->isEnabled());
    menu->EditPopup->close();
}

TEST_F(Commands, DeletedShapeLeavesItsContainersPictureAndComesBack)
{
    auto* rect = Place<TDynGraphik>(pkRectangle, form, {300, 100}, {400, 200}, menu->GraficMenu);
    ASSERT_NE(rect, nullptr);
    // The left edge of the rectangle on the form's surface.
    const auto edgeDrawn = [this] {
        const QImage& image = form->Background->Image();
        for (int x = 298; x <= 302; ++x)
            if (qGray(image.pixel(x, 150)) < 64)
                return true;
        return false;
    };
    EXPECT_TRUE(edgeDrawn());
    QTest::mouseClick(form, Qt::LeftButton, {}, {350, 150}); // inside it
    ASSERT_EQ(SelectedObject, rect);
    d->DeleteObject();
    EXPECT_FALSE(form->Children->Contains(rect));
    EXPECT_FALSE(edgeDrawn());
    d->ShowRemovedObjects();
    ChooseEntry(d->HiddenObjectCombo, 0);
    EXPECT_TRUE(form->Children->Contains(rect));
    EXPECT_TRUE(edgeDrawn());
}

TEST_F(Commands, CopiedFormBecomesAPageOfItsOwn)
{
    auto* panel = Place<TDynRichEdit>(pkPanel, form, {300, 100}, {500, 250});
    ASSERT_NE(panel, nullptr);
    form->Select();
    Pick(menu->EditCaption, menu->CopyItem);
    Pick(menu->EditCaption, menu->PasteItem);
    ASSERT_EQ(d->Project->FormCount(), 2);
    TDynDBForm* copy = d->Project->Form(1);
    EXPECT_EQ(CurrentForm, copy);
    EXPECT_EQ(SelectedObject, copy);
    EXPECT_EQ(d->Project->PageControl->currentWidget(), static_cast<QWidget*>(copy->Tab));
    EXPECT_EQ(d->Project->PageControl->tabText(1), copy->Name);
    std::vector<Snapshot> original, copied;
    Collect(form, original);
    Collect(copy, copied);
    ASSERT_EQ(copied.size(), original.size());
    for (size_t i = 0; i < copied.size(); ++i)
        EXPECT_EQ(std::tuple(copied[i].Code, copied[i].Left, copied[i].Top, copied[i].Width, copied[i].Height),
                  std::tuple(original[i].Code, original[i].Left, original[i].Top, original[i].Width,
                             original[i].Height));
    EXPECT_TRUE(copy->Children->Panel(2)->isVisible());
}

TEST_F(Commands, NewFormAndDeletingOneOfTwoForms)
{
    Pick(menu->AddCaption, menu->NewFormItem);
    ASSERT_EQ(d->Project->FormCount(), 2);
    TDynDBForm* second = d->Project->Form(1);
    EXPECT_EQ(CurrentForm, second);
    EXPECT_EQ(d->Project->PageControl->currentWidget(), static_cast<QWidget*>(second->Tab));
    EXPECT_EQ(d->ObjectCombo->itemText(1), second->Name);
    ASSERT_EQ(SelectedObject, second);
    d->DeleteObject();
    EXPECT_EQ(d->Project->FormCount(), 1);
    EXPECT_EQ(CurrentForm, form);
    EXPECT_EQ(d->Project->PageControl->count(), 1);
    EXPECT_EQ(SelectedObject, nullptr);
    EXPECT_TRUE(Modified);
}

// ---- lock and toolbar ----

TEST_F(Commands, GeneratorOffDisablesTheEditButtonsAndTwiceRestoresTheDesigner)
{
    TGeneratorToolBar* bar = d->ToolBar;
    EXPECT_EQ(bar->GeneratorImage, 3);
    QTest::mouseClick(bar->GeneratorButton, Qt::LeftButton);
    EXPECT_TRUE(AllLocked);
    EXPECT_TRUE(d->PagesHidden);
    EXPECT_EQ(bar->GeneratorImage, 15);
    EXPECT_FALSE(bar->CutButton->isEnabled() || bar->CopyButton->isEnabled() || bar->EinButton->isEnabled());
    EXPECT_TRUE(bar->SaveButton->isEnabled() && bar->OpenButton->isEnabled());
    EXPECT_LT(d->Height(), 380);
    // Shortcuts of the locked commands do nothing.
    Key(Qt::Key_Delete);
    EXPECT_EQ(d->Project->FormCount(), 1);
    QTest::mouseClick(bar->GeneratorButton, Qt::LeftButton);
    EXPECT_FALSE(AllLocked);
    EXPECT_FALSE(d->PagesHidden);
    EXPECT_EQ(bar->GeneratorImage, 3);
    EXPECT_EQ(d->Height(), 380);
    EXPECT_TRUE(d->PropertyPages->isVisible());
    EXPECT_TRUE(bar->CutButton->isEnabled() && bar->CopyButton->isEnabled() && bar->EinButton->isEnabled());
    EXPECT_EQ(bar->GeneratorButton->toolTip(), QStringLiteral("Generator off"));
    EXPECT_EQ(bar->CutButton->toolTip(), QStringLiteral("Cut"));
}

TEST_F(Commands, ProjectSavedLockedOpensLocked)
{
    Place<TDynRichEdit>(pkPanel, form, {300, 100}, {500, 250});
    Pick(menu->FileCaption, menu->LockItem);
    ASSERT_TRUE(AllLocked);
    const QString file = work + QStringLiteral("Locked.KvR");
    ScriptedDialogs()->QueueText(file);
    QTest::mouseClick(d->ToolBar->SaveButton, Qt::LeftButton);
    ASSERT_TRUE(QFileInfo::exists(file));
    // New unlocks (after the save question).
    ScriptedDialogs()->QueueResult(mrNo);
    Pick(menu->FileCaption, menu->NewProjectItem);
    EXPECT_FALSE(AllLocked);
    EXPECT_FALSE(d->PagesHidden);
    EXPECT_FALSE(Modified);
    ScriptedDialogs()->QueueText(file);
    QTest::mouseClick(d->ToolBar->OpenButton, Qt::LeftButton);
    EXPECT_EQ(d->Project->Title, file);
    EXPECT_TRUE(AllLocked);
    EXPECT_TRUE(d->PagesHidden);
    EXPECT_TRUE(CurrentForm->Children->Panel(2)->Locked());
    EXPECT_FALSE(menu->AddCaption->isVisible());
    EXPECT_FALSE(Modified);
}

// ---- file commands ----

TEST_F(Commands, CancelInTheSaveQuestionStopsExitAndNew)
{
    auto* panel = Place<TDynRichEdit>(pkPanel, form, {300, 100}, {500, 250});
    ASSERT_NE(panel, nullptr);
    TDYNProject* project = d->Project;
    ScriptedDialogs()->QueueResult(mrCancel);
    Pick(menu->FileCaption, menu->ExitItem);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(TheDesigner, d);
    ScriptedDialogs()->QueueResult(mrCancel);
    Key(Qt::Key_N, Qt::ControlModifier);
    // Yes with a cancelled name dialog saves nothing, so nothing is given up either.
    ScriptedDialogs()->QueueResult(mrYes);
    ScriptedDialogs()->QueueCancel();
    Pick(menu->FileCaption, menu->NewProjectItem);
    EXPECT_EQ(d->Project, project);
    EXPECT_TRUE(form->Children->Contains(panel));
    EXPECT_TRUE(Modified);
    EXPECT_EQ(d->Project->Title, TitleUntitled);
    EXPECT_EQ(ScriptedDialogs()->Texts().count(QStringLiteral("Save changes to Untitled?")), 3);
}

TEST_F(Commands, SavingTwiceKeepsTheEarlierFileAsProtectionCopy)
{
    const QString file = work + QStringLiteral("Twice.KvR");
    ScriptedDialogs()->QueueText(file);
    Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(QFileInfo::exists(file));
    QFile first(file);
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray firstBytes = first.readAll();
    first.close();

    Place<TDynRichEdit>(pkPanel, form, {300, 100}, {500, 250});
    Key(Qt::Key_S, Qt::ControlModifier); // the title is known: no dialog
    QFile copy(work + QStringLiteral("Twice.~KvR"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), firstBytes);
    EXPECT_GT(QFileInfo(file).size(), firstBytes.size());

    // "Save as" onto an existing file asks first; No writes nothing.
    ScriptedDialogs()->QueueText(file);
    ScriptedDialogs()->QueueResult(mrNo);
    const qint64 size = QFileInfo(file).size();
    Pick(menu->FileCaption, menu->SaveAsItem);
    EXPECT_EQ(ScriptedDialogs()->LastText(), "OK to overwrite " + file);
    EXPECT_EQ(QFileInfo(file).size(), size);
    // A cancelled name dialog leaves the title as it was.
    ScriptedDialogs()->QueueCancel();
    Pick(menu->FileCaption, menu->SaveAsItem);
    EXPECT_EQ(d->Project->Title, file);
    // A chosen name takes the project extension.
    ScriptedDialogs()->QueueText(work + QStringLiteral("Other.txt"));
    Pick(menu->FileCaption, menu->SaveAsItem);
    EXPECT_EQ(d->Project->Title, work + QStringLiteral("Other.KvR"));
    EXPECT_TRUE(QFileInfo::exists(work + QStringLiteral("Other.KvR")));
    EXPECT_FALSE(QFileInfo::exists(work + QStringLiteral("Other.txt")));
}

TEST_F(Commands, SevenOpenedFilesLeaveTheSixNewestInTheMenu)
{
    QStringList files;
    for (int i = 0; i < 7; ++i)
        files << WriteProject(QStringLiteral("P%1.KvR").arg(i));
    Modified = false;
    for (const QString& f : files) {
        ScriptedDialogs()->QueueText(f);
        Pick(menu->FileCaption, menu->OpenItem);
        ASSERT_EQ(d->Project->Title, f);
    }
    QFile::remove(files[3]);
    QTest::mouseClick(menu->FileCaption, Qt::LeftButton);
    for (int i = 0; i < 6; ++i) {
        const QString expected = files[6 - i];
        EXPECT_EQ(d->RecentFiles.Strings(i), expected);
        EXPECT_EQ(menu->RecentItems[size_t(i)]->text(), expected);
        EXPECT_EQ(menu->RecentItems[size_t(i)]->isVisible(), expected != files[3]) << i;
    }
    menu->FilePopup->close();
    // Opening again moves a file to the head without doubling it.
    Pick(menu->FileCaption, menu->RecentItems[4]);
    EXPECT_EQ(d->RecentFiles.Strings(0), files[2]);
    EXPECT_EQ(d->RecentFiles.Strings(1), files[6]);
    EXPECT_EQ(d->RecentFiles.Strings(5), files[1]);
}

TEST_F(Commands, OpenDialogDecidesByTheExactExtension)
{
    const QString project = WriteProject(QStringLiteral("Source.KvR"));
    Modified = false;
    const QByteArray bytes = [&] {
        QFile f(project);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    auto copyAs = [&](const QString& name) {
        QFile f(work + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return work + name;
    };
    const QString backup = copyAs(QStringLiteral("Saved.~~KvR"));
    const QString lower = copyAs(QStringLiteral("Lower.kvr"));
    const QString autosave = copyAs(QStringLiteral("tmpBackUp.~~KVR"));

    // A lower-case extension is not a project file.
    TDYNProject* before = d->Project;
    ScriptedDialogs()->QueueText(lower);
    Pick(menu->FileCaption, menu->OpenItem);
    EXPECT_EQ(d->Project, before);
    EXPECT_TRUE(d->RecentFiles.Strings(0).isEmpty());

    // A temporary backup opens as a project without joining the recent files.
    ScriptedDialogs()->QueueText(backup);
    Pick(menu->FileCaption, menu->OpenItem);
    EXPECT_NE(d->Project, before);
    EXPECT_EQ(CurrentForm->Children->Count(), 3);
    EXPECT_EQ(d->Project->Title, work + QStringLiteral("Saved.KvR"));
    EXPECT_TRUE(d->RecentFiles.Strings(0).isEmpty());

    // The designer's autosave file opens too; saving it asks for a name.
    ScriptedDialogs()->QueueText(autosave);
    Pick(menu->FileCaption, menu->OpenItem);
    EXPECT_EQ(d->Project->Title, work + QStringLiteral("tmpBackUp.KvR"));
    ScriptedDialogs()->QueueCancel();
    Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ScriptedDialogs()->ShownDialogs().back().kind, TScriptedDialogs::Kind::SaveFile);
    EXPECT_TRUE(d->RecentFiles.Strings(0).isEmpty());

    // A file that cannot be read leaves a new project that a save does not write over it.
    const QString broken = copyAs(QStringLiteral("Broken.KvR"));
    QFile::resize(broken, 40);
    ScriptedDialogs()->QueueText(broken);
    Pick(menu->FileCaption, menu->OpenItem);
    EXPECT_EQ(d->Project->Title, TitleUntitled);
    EXPECT_EQ(d->Project->FormCount(), 1);
    EXPECT_TRUE(d->RecentFiles.Strings(0).isEmpty());
    EXPECT_EQ(QFileInfo(broken).size(), 40);
}

TEST_F(Commands, ObjectFilesLoadIntoTheFormAndAutosaveLeavesTheProjectAsItIs)
{
    auto* panel = Place<TDynRichEdit>(pkPanel, form, {300, 100}, {500, 250});
    ASSERT_NE(panel, nullptr);
    const QString objectFile = work + QStringLiteral("Panel.KvO");
    ASSERT_TRUE(TObjectList::SaveObjectToFile(panel, objectFile));
    QFile::copy(objectFile, work + QStringLiteral("Panel.~KvO"));

    // Load object: the chosen file, a quarter into the form (the project is selected: the form
    // takes it).
    d->Project->Select();
    ScriptedDialogs()->QueueText(work + QStringLiteral("Panel.~KvO"));
    Pick(menu->FileCaption, menu->LoadObjectItem);
    ASSERT_EQ(form->Children->Count(), 4);
    TDynPanel* loaded = form->Children->Panel(3);
    EXPECT_EQ(loaded->Title, work + QStringLiteral("Panel.~KvO"));
    EXPECT_EQ(std::tuple(loaded->pleft, loaded->pwidth), std::tuple(RoundHalfEven(form->pwidth / 4.0), 200));
    // Open with an object file does the same, into the container of the selection: the panel
    // just loaded.
    ScriptedDialogs()->QueueText(objectFile);
    Pick(menu->FileCaption, menu->OpenItem);
    EXPECT_EQ(form->Children->Count(), 4);
    EXPECT_EQ(loaded->Children->Count(), 1);

    // Autosave writes the backup; title, recent files and Modified stay.
    d->SetAutosave(true);
    Modified = true;
    d->Autosave();
    EXPECT_TRUE(QFileInfo::exists(d->BackupFileName));
    EXPECT_EQ(d->Project->Title, TitleUntitled);
    EXPECT_TRUE(Modified);
    EXPECT_TRUE(d->RecentFiles.Strings(0).isEmpty());
    d->SetAutosave(false);
}

} // namespace
