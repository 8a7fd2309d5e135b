// The designer's main menu: four captions in the menu strip, their popups and what the entries
// start.
#include "designer/PanelMenu.h"
#include "designer/Objectgenerator.h"
#include "objects/DYNProject.h"
#include "objects/DynMultiPanel.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
#include "shell/Variable.h"
#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QUrl>

const QString TPanelMenu::SupportMail = QStringLiteral("support@kivotek.example");
const QString TPanelMenu::WebAddress = QStringLiteral("www.kivotek.example");

namespace {
// A file name as a menu caption: no character becomes a hot key.
QString PlainCaption(const QString& text)
{
    QString s = text;
    return s.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
} // namespace

// ---- captions ----

TMenuCaption::TMenuCaption(const QString& text, QWidget* parent, QMenu* popup, QPoint offset)
    : QLabel(text, parent), Popup(popup), Offset(offset)
{
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
}

void TMenuCaption::OpenPopup()
{
    if (Popup)
        Popup->popup(mapToGlobal(QPoint(0, 0)) + Offset);
}

void TMenuCaption::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        OpenPopup();
        e->accept();
        return;
    }
    QLabel::mousePressEvent(e);
}

// ---- the menu ----

QAction* TPanelMenu::AddItem(QMenu* menu, const QString& caption, std::function<void()> action)
{
    QAction* a = menu->addAction(caption);
    if (action)
        connect(a, &QAction::triggered, this, [action = std::move(action)] { action(); });
    return a;
}

TPanelMenu::TPanelMenu(TObjectgenerator* designer) : QObject(designer), TComponent(designer), Generator(designer)
{
    TObjectgenerator* d = designer;
    QWidget* strip = d->MenuBar ? static_cast<QWidget*>(d->MenuBar) : static_cast<QWidget*>(d);

    FilePopup = new QMenu(d);
    EditPopup = new QMenu(d);
    AddPopup = new QMenu(d);
    InfoPopup = new QMenu(d);

    // "File"
    NewProjectItem = AddItem(FilePopup, Texts(308), [d] { d->NewProject(); });
    OpenItem = AddItem(FilePopup, Texts(106), [d] { d->OpenProject(); });
    LoadObjectItem = AddItem(FilePopup, Texts(310), [d] { d->LoadObjectFile(); });
    FilePopup->addSeparator();
    SaveItem = AddItem(FilePopup, Texts(176), [d] { d->SaveProjectFile(false); });
    SaveAsItem = AddItem(FilePopup, Texts(30), [d] { d->SaveProjectFile(true); });
    FilePopup->addSeparator();
    PreviewItem = AddItem(FilePopup, Texts(99), [this] { RunPreview(); });
    PrinterSetupItem = AddItem(FilePopup, Texts(313), [d] { d->PrinterSetup(); });
    FilePopup->addSeparator();
    for (int i = 0; i < 6; ++i) {
        RecentItems[size_t(i)] = AddItem(FilePopup, QString(), [d, i] { d->OpenRecentFile(i); });
        RecentItems[size_t(i)]->setVisible(false);
    }
    FilePopup->addSeparator();
    LockItem = AddItem(FilePopup, Texts(276), [d] { d->LockAll(!AllLocked); });
    FilePopup->addSeparator();
    ExitItem = AddItem(FilePopup, Texts(314), [this] { Exit(); });

    // "Edit"
    UndoItem = AddItem(EditPopup, Texts(190), [d] { d->ShowRemovedObjects(); });
    NewPaintItem = AddItem(EditPopup, Texts(279), [d] { d->NewPaint(); });
    EditPopup->addSeparator();
    CutItem = AddItem(EditPopup, Texts(241), [d] { d->CutObject(); });
    CopyItem = AddItem(EditPopup, Texts(193), [d] { d->CopyObject(); });
    PasteItem = AddItem(EditPopup, Texts(36), [d] { d->PasteObject(); });
    DeleteItem = AddItem(EditPopup, Texts(37), [d] { d->DeleteObject(); });
    EditPopup->addSeparator();
    ProjectOptionsItem = AddItem(EditPopup, Texts(160) + QLatin1Char(' ') + Texts(281), [d] {
        if (!d->Project)
            return;
        d->Project->Select();
        d->ShowPropertyRows(d->Project);
    });
    DeleteProjectItem = AddItem(EditPopup, Texts(282), [this, d] {
        d->DeleteProject();
        if (!d->Project)
            EnableCaptions(false);
    });
    EditPopup->addSeparator();
    OptionsItem = AddItem(EditPopup, Texts(283), [d] { d->Activate(); });

    // "Add object"
    NewFormItem = AddItem(AddPopup, Texts(284), [d] { d->CreateObject(TObjectgenerator::NewFormEntry, nullptr); });
    auto kindItem = [this](QMenu* menu, const QString& caption, int kind) {
        QAction* a = AddItem(menu, caption, [this, kind] { ChooseKind(kind); });
        KindItems[kind] = a;
        return a;
    };
    kindItem(AddPopup, Texts(285), pkPanel);
    AddPopup->addSeparator();
    kindItem(AddPopup, Texts(286), pkEditfield);
    // The label sheet opens its own panel; the entry stays off while the program has none.
    LabelItem = AddItem(AddPopup, Texts(289), nullptr);
    GraficMenu = AddPopup->addMenu(Texts(290));
    kindItem(GraficMenu, Texts(291), pkPicture);
    kindItem(GraficMenu, Texts(145), pkLine);
    kindItem(GraficMenu, Texts(142), pkRectangle);
    kindItem(GraficMenu, Texts(143), pkCircle);
    GridsMenu = AddPopup->addMenu(Texts(292));
    kindItem(GridsMenu, Texts(293), pkStandardGrid);
    kindItem(GridsMenu, Texts(294), pkEnhancedGrid);
    kindItem(AddPopup, Texts(137), pkPagecounter);
    AddPopup->addSeparator();
    // The SQL panel opens in its own window; off while the program has none.
    SqlItem = AddItem(AddPopup, Texts(295), nullptr);
    kindItem(AddPopup, Texts(296), pkNavigator);
    DatafieldInputMenu = AddPopup->addMenu(Texts(297));
    kindItem(DatafieldInputMenu, Texts(287), pkDBEdit);
    kindItem(DatafieldInputMenu, Texts(288), pkDBMemo);
    kindItem(AddPopup, Texts(378), pkChart);
    kindItem(AddPopup, Texts(15), pkDatafield);
    kindItem(AddPopup, Texts(299), pkDBPicture);
    kindItem(AddPopup, Texts(138), pkBarcode);
    kindItem(AddPopup, Texts(301), pkDBGrid);
    kindItem(AddPopup, Texts(302), pkDBReport);
    AddPopup->addSeparator();

    // "Info"
    HelpItem = AddItem(InfoPopup, Texts(380), [this] { ShowHelp(false); });
    HelpIndexItem = AddItem(InfoPopup, Texts(384), [this] { ShowHelp(true); });
    ContactItem = AddItem(InfoPopup, Texts(382) + QStringLiteral(": ") + SupportMail, [] {
        TDialogs::Get().OpenUrl(QUrl(QStringLiteral("mailto:") + SupportMail));
    });
    InternetItem = AddItem(InfoPopup, QStringLiteral("Internet : ") + WebAddress, nullptr);
    const QString date = DateTimeToDate(DesignerVersion.Date).toString(FormatSettings().ShortDateFormat);
    VersionItem = AddItem(InfoPopup,
                          Texts(316) + QStringLiteral("  ") + DesignerVersion.Name + QLatin1Char(' ')
                              + FloatToStr(DesignerVersion.Number) + QStringLiteral(" /  ") + date,
                          nullptr);

    // Keyboard shortcuts: they work wherever the designer's window has the focus.
    const std::pair<QAction*, QKeySequence> keys[] = {
        {NewProjectItem, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {OpenItem, QKeySequence(Qt::CTRL | Qt::Key_O)},
        {SaveItem, QKeySequence(Qt::CTRL | Qt::Key_S)},
        {SaveAsItem, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {CopyItem, QKeySequence(Qt::CTRL | Qt::Key_C)},
        {CutItem, QKeySequence(Qt::CTRL | Qt::Key_X)},
        {PasteItem, QKeySequence(Qt::CTRL | Qt::Key_V)},
        {DeleteItem, QKeySequence(Qt::Key_Delete)},
        {UndoItem, QKeySequence(Qt::CTRL | Qt::Key_Z)},
    };
    for (const auto& [action, key] : keys) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WindowShortcut);
        d->addAction(action);
    }

    // The captions: the first three at the left, "Info" at the right.
    FileCaption = new TMenuCaption(Texts(116) + QLatin1Char(' '), strip, FilePopup, QPoint(0, 20));
    EditCaption = new TMenuCaption(Texts(189) + QLatin1Char(' '), strip, EditPopup, QPoint(-110, 20));
    AddCaption = new TMenuCaption(Texts(36) + QLatin1Char(' '), strip, AddPopup, QPoint(-40, 20));
    InfoCaption = new TMenuCaption(Texts(315), strip, InfoPopup, QPoint(-140, 20));
    InfoCaption->setAlignment(Qt::AlignCenter);
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(3, 0, 3, 0);
    row->setSpacing(6);
    row->addWidget(FileCaption);
    row->addWidget(EditCaption);
    row->addWidget(AddCaption);
    row->addStretch(1);
    row->addWidget(InfoCaption);

    connect(FilePopup, &QMenu::aboutToShow, this, [this] {
        UpdateRecentItems();
        UpdateEnabled();
    });
    for (QMenu* m : {EditPopup, AddPopup})
        connect(m, &QMenu::aboutToShow, this, [this] { UpdateEnabled(); });

    // The placement of a pending kind ends in the designer.
    TDynMultiPanel::CreatePendingObject() = [d](TDynMultiPanel* container, const TDrawRect& rect) {
        d->CreatePendingObject(container, rect);
    };

    EnableCaptions(false);
    UpdateRecentItems();
}

TPanelMenu::~TPanelMenu()
{
    // The captions and popups belong to the designer's widgets and go with them.
    TDynMultiPanel::CreatePendingObject() = nullptr;
}

// ---- states ----

void TPanelMenu::UpdateEnabled()
{
    const bool usable = captionsEnabled_ && !AllLocked;
    if (EditCaption) {
        EditCaption->setEnabled(captionsEnabled_);
        EditCaption->setVisible(!AllLocked);
    }
    if (AddCaption) {
        AddCaption->setEnabled(captionsEnabled_);
        AddCaption->setVisible(!AllLocked);
    }
    for (QAction* a : {UndoItem, NewPaintItem, PasteItem, DeleteItem, ProjectOptionsItem, DeleteProjectItem})
        a->setEnabled(usable);
    CutItem->setEnabled(usable && canCopy_);
    CopyItem->setEnabled(usable && canCopy_);
    NewFormItem->setEnabled(usable);
    for (const auto& [kind, action] : KindItems)
        action->setEnabled(usable && TObjectgenerator::CanCreateKind(kind));
    LabelItem->setEnabled(false);
    SqlItem->setEnabled(false);
    PreviewItem->setEnabled(PreviewAvailable());
    LockItem->setText(Texts(AllLocked ? 275 : 276));
}

void TPanelMenu::EnableEditEntries(bool value)
{
    canCopy_ = value;
    UpdateEnabled();
}

void TPanelMenu::EnableCaptions(bool value)
{
    captionsEnabled_ = value;
    UpdateEnabled();
}

void TPanelMenu::UpdateLockState()
{
    UpdateEnabled();
}

// ---- recent files ----

void TPanelMenu::UpdateRecentItems()
{
    const TStringList& list = Generator->RecentFiles;
    for (int i = 0; i < 6; ++i) {
        const QString name = i < list.Count() ? list.Strings(i) : QString();
        QAction* item = RecentItems[size_t(i)];
        item->setText(PlainCaption(name));
        item->setVisible(!name.isEmpty() && QFileInfo(name).isFile());
    }
}

void TPanelMenu::AddRecentFile(const QString& fileName)
{
    // Only project files join the list; the comparison of the extension is exact.
    if (!fileName.endsWith(ExtProject, Qt::CaseSensitive))
        return;
    TStringList& list = Generator->RecentFiles;
    QStringList names;
    for (int i = 0; i < list.Count(); ++i)
        names << list.Strings(i);
    names.removeAll(fileName);
    names.prepend(fileName);
    while (names.size() < 6)
        names << QString();
    while (list.Count() < 6)
        list.Add(QString());
    for (int i = 0; i < 6; ++i)
        list.SetString(i, names[i]);
    UpdateRecentItems();
}

// ---- commands ----

void TPanelMenu::ChooseKind(int kind)
{
    if (!TObjectgenerator::CanCreateKind(kind) || !captionsEnabled_ || AllLocked)
        return;
    PendingKind = kind;
    Generator->HideAllHandles();
}

bool TPanelMenu::PreviewAvailable()
{
    return static_cast<bool>(PreviewRunner());
}

std::function<void(TObjectgenerator*)>& TPanelMenu::PreviewRunner()
{
    static std::function<void(TObjectgenerator*)> runner;
    return runner;
}

void TPanelMenu::RunPreview()
{
    if (!PreviewAvailable() || !Generator->Project)
        return;
    Generator->HideAllHandles();
    PreviewRunner()(Generator);
}

void TPanelMenu::Exit()
{
    TObjectgenerator* d = Generator;
    if (!d->AskSaveChanges())
        return;
    d->WriteConfig();
    d->HideAllHandles();
    d->hide();
    // The designer goes once the menu command has returned.
    d->deleteLater();
}

QString TPanelMenu::HelpFilePath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
}

void TPanelMenu::ShowHelp(bool index)
{
    const QString path = HelpFilePath();
    if (!QFileInfo(path).isFile()) {
        TDialogs::Get().MessageDlg(QStringLiteral("The help file %1 cannot be found.").arg(path), TMsgDlgType::Warning,
                                   mbOK);
        return;
    }
    QUrl url = QUrl::fromLocalFile(path);
    if (index)
        url.setFragment(QStringLiteral("index"));
    if (!TDialogs::Get().OpenUrl(url))
        TDialogs::Get().MessageDlg(QStringLiteral("The help file %1 could not be opened.").arg(path),
                                   TMsgDlgType::Warning, mbOK);
}

void TPanelMenu::PopupContext(QPoint screen)
{
    if (!captionsEnabled_ || AllLocked)
        return;
    UpdateEnabled();
    EditPopup->popup(screen);
}

// ---- what the designer calls ----

TPanelMenu* CreatePanelMenu(TObjectgenerator* designer)
{
    return new TPanelMenu(designer);
}

void TObjectgenerator::MenuEnableObjectCommands(bool canCopy)
{
    if (Menu)
        Menu->EnableEditEntries(canCopy);
}

void TObjectgenerator::MenuPopupContext(QPoint screen)
{
    if (Menu)
        Menu->PopupContext(screen);
}
