#include "designer/Objectgenerator.h"
#include "designer/BImage.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "objects/MovePanel.h"
#include "objects/RScrollBox.h"
#include "platform/Dialogs.h"
#include "platform/Printer.h"
#include "shell/OstrevoReportGenerator.h"
#include "shell/Variable.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSqlDatabase>
#include <QVBoxLayout>

namespace {
QWidget* parentWindow = nullptr;
bool databaseEnginePresent = false;
constexpr int AutosaveInterval = 200000;

// Commits the inline value editor with Enter.
class ValueEditKeys : public QObject {
public:
    explicit ValueEditKeys(TObjectgenerator* d) : QObject(d), designer_(d) {}
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
                designer_->CommitValue(designer_->ValueEdit->text());
                return true;
            }
        }
        return QObject::eventFilter(o, e);
    }

private:
    TObjectgenerator* designer_;
};

// Restores the shared stream and the object-file flag after the configuration is read or written.
struct ConfigStreamScope {
    TMemoryStream* previousStream = SharedStream;
    bool previousMode = ObjectFileMode;
    explicit ConfigStreamScope(TMemoryStream* s)
    {
        SharedStream = s;
        ObjectFileMode = true; // the designer's record carries no picture reference
    }
    ~ConfigStreamScope()
    {
        SharedStream = previousStream;
        ObjectFileMode = previousMode;
    }
};
} // namespace

QWidget* DesignerParentWindow()
{
    return parentWindow;
}

bool DatabaseEngineInstalled()
{
    return databaseEnginePresent;
}

void InstallDesignerFactory()
{
    TOstrevoReportGenerator::SetDesignerFactory([](TOstrevoReportGenerator* host) { new TObjectgenerator(host); });
}

// ---- the strips ----

void TtopPanel::mousePressEvent(QMouseEvent* e)
{
    if (OnPress)
        OnPress(e);
    else
        TPanel::mousePressEvent(e);
}

void TtopPanel::mouseMoveEvent(QMouseEvent* e)
{
    if (OnMove)
        OnMove(e);
    else
        TPanel::mouseMoveEvent(e);
}

void TtopPanel::mouseReleaseEvent(QMouseEvent* e)
{
    if (OnRelease)
        OnRelease(e);
    else
        TPanel::mouseReleaseEvent(e);
}

// ---- construction ----

TObjectgenerator::TObjectgenerator(TOstrevoReportGenerator* host) : TDynPanel(host, host), HostPanel(host)
{
    // 1. The version every file is written with.
    DesignerVersion = {QStringLiteral("beta"), 0.1, DateToDateTime(QDate(2002, 9, 20))};
    DesignerCreatedText = QDateTime::currentDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    TheDesigner = this;
    SetDesignerLink(this);
    host->DesignerWidget = this;
    const QString programDir = WorkDir; // the directory of the program file, set at start
    // 2.
    Background->hide();
    parentWindow = host;
    KindInfo = TKindInfo{};
    LanguageIndex = 2;
    // 3.
    ProjectDir = WorkDir;
    ConfigFileName = QStringLiteral("Kivo.cnf");
    RulersVisible = false;
    HelpLinesVisible = false;
    ZoomFactor = 1.0;
    // 4.
    bool configGood = false;
    ReadConfigFirstHalf(configGood);
    // 5.
    LanguageIndex = 1;
    FillTextDefaults();
    LanguageNames[0] = QStringLiteral("English");
    Name = Texts(248);
    // 6.
    show();
    TPanel::SetColor(DesignerColor);
    BackColor = DesignerColor;
    BorderStyle = TBorderStyle::bsNone;
    BevelInner = TBevelCut::bvLowered;
    BevelOuter = TBevelCut::bvRaised;
    BevelWidth = 2;
    PropertySet = PropertySets::Designer();
    Interaction = ibMoveX | ibMoveY | ibSizeHeight;
    // 7.
    TFont f;
    f.Charset = 1;
    f.Name = QStringLiteral("Arial");
    f.Color = clBlack;
    f.SetSize(8);
    SetFont(f);
    TotalWidth = 188;
    ValueWidth = 94;
    LineHeight = 6 - Font().Height();
    SetBounds(5, 10, TotalWidth + 4, 380);
    NormalHeight = 380;
    // 8. The database engine is there when Qt SQL offers the SQLite driver.
    databaseEnginePresent = QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"));
    // 9.
    for (int i = 0; i < 8; ++i)
        Handles[size_t(i)] = new TMovePanel(this, host, i);
    // 10., 11.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    OuterTopPanel = new TtopPanel(this, this);
    OuterTopPanel->SetColor(DesignerColor);
    OuterTopPanel->BevelOuter = TBevelCut::bvNone;
    OuterTopPanel->setFixedHeight(2 * LineHeight + 12);
    auto* topLayout = new QVBoxLayout(OuterTopPanel);
    topLayout->setContentsMargins(1, 1, 1, 1);
    topLayout->setSpacing(0);
    MenuBar = new TtopPanel(this, OuterTopPanel);
    MenuBar->SetColor(DesignerColor);
    MenuBar->BevelOuter = TBevelCut::bvLowered;
    MenuBar->setFixedHeight(LineHeight + 6);
    topLayout->addWidget(MenuBar);
    ObjectCombo = new QComboBox(OuterTopPanel);
    ObjectCombo->setFixedHeight(LineHeight + 4);
    topLayout->addWidget(ObjectCombo);
    HiddenObjectCombo = new QComboBox(OuterTopPanel);
    HiddenObjectCombo->setFixedHeight(LineHeight + 4);
    HiddenObjectCombo->setStyleSheet(QStringLiteral("QComboBox { background: red; }"));
    HiddenObjectCombo->hide();
    topLayout->addWidget(HiddenObjectCombo);
    connect(ObjectCombo, qOverload<int>(&QComboBox::activated), this, [this](int i) { ChooseObject(i); });
    connect(HiddenObjectCombo, qOverload<int>(&QComboBox::activated), this, [this](int) {
        UndoRemove();
        HiddenObjectCombo->hide();
    });
    layout->addWidget(OuterTopPanel);
    for (TtopPanel* strip : {OuterTopPanel, MenuBar}) {
        strip->OnPress = [this](QMouseEvent* e) {
            const QPoint p = mapFromGlobal(e->globalPosition().toPoint());
            TDynPanel::MouseDownLeft(p.x(), p.y(), e->globalPosition().toPoint());
            if (Moving)
                HideAllHandles();
        };
        strip->OnMove = [this](QMouseEvent* e) {
            const QPoint p = mapFromGlobal(e->globalPosition().toPoint());
            if (Moving)
                MoveTo(p.x(), p.y());
        };
        strip->OnRelease = [this](QMouseEvent*) {
            if (Moving) {
                Moving = false;
                StoreLogicalBounds();
                if (SelectedObject && SelectedObject != this)
                    PlaceHandles();
            }
        };
    }
    // 12.
    for (int i = 0; i < 6; ++i)
        RecentFiles.Add(QString());
    Menu = CreatePanelMenu(this);
    // 13.
    PropertyPages = new QTabWidget(this);
    for (const QString& caption : {QStringLiteral("1"), QStringLiteral("2"), Texts(250)}) {
        auto* sheet = new QWidget(PropertyPages);
        auto* sheetLayout = new QVBoxLayout(sheet);
        sheetLayout->setContentsMargins(0, 0, 0, 0);
        PropertyPages->addTab(sheet, caption);
    }
    PropertyPages->setCurrentIndex(0);
    layout->addWidget(PropertyPages, 1);
    // 14.
    BottomPanel = new TPanel(this, this);
    BottomPanel->setFixedHeight(30);
    BottomPanel->BevelOuter = TBevelCut::bvNone;
    BottomPanel->SetColor(DesignerColor);
    layout->addWidget(BottomPanel);
    ToolBar = CreateGeneratorToolBar(this, BottomPanel);
    DialogFont.Charset = 1;
    DialogFont.Color = clWindowText;
    DialogFont.SetHeight(-11);
    DialogFont.Name = QStringLiteral("Arial");
    // 15.
    BuildPropertyRows();
    // 16.
    ValueEdit = new QLineEdit(this);
    ValueEdit->hide();
    ValueEdit->installEventFilter(new ValueEditKeys(this));
    SelectedObject = nullptr;
    TakePrinterMetrics();
    CollectPropertyRows();
    SetLocked(false);
    RowsShown = true;
    // 17.
    if (configGood)
        ReadConfigSecondHalf();
    // 18.
    if (AutosaveOn)
        SetAutosave(true);
    // 20. The work directory is always the program's own.
    WorkDir = programDir;
    BackupFileName = WorkDir + QStringLiteral("tmpBackUp.~~KVR");
    // 21.
    CurrentFileName = RemoveChar('&', RecentFiles.Strings(0));
    // The forms lay themselves out in what the host offers.
    TDynForm::HostAreaProvider() = [this]() -> QSize {
        if (!HostPanel)
            return {800, 600};
        return isVisible() || !isHidden() ? HostPanel->size() : QSize(HostPanel->width(), HostPanel->height() - 30);
    };
    // 22.
    NewProject();
    // 19. (after the project exists, so that the rulers have a form to sit on)
    if (RulersVisible) {
        RulersVisible = false;
        SetRulers(true, false);
    }
    if (HelpLinesVisible) {
        HelpLinesVisible = false;
        SetHelpLines(true);
    }
    // 23.
    Modified = false;
    HostPanel->OnResize = [this] { HostResized(); };
    raise();
}

TObjectgenerator::~TObjectgenerator()
{
    HostPanel->OnResize = nullptr;
    SetHelpLines(false);
    if (RulersVisible) {
        SetRulers(false, false);
        RulersVisible = true; // the setting survives in the configuration
    }
    delete Project;
    Project = nullptr;
    WriteConfig();
    AutosaveTimer.reset();
    for (TMovePanel*& h : Handles) {
        delete h;
        h = nullptr;
    }
    PropertyRows.Clear();
    DestroyPropertyRows();
    GlobalPropertyRows().clear();
    TDynForm::HostAreaProvider() = nullptr;
    if (Designer() == this)
        SetDesignerLink(nullptr);
    if (TheDesigner == this)
        TheDesigner = nullptr;
}

// ---- configuration file ----

QString TObjectgenerator::ConfigPath() const
{
    return WorkDir + ConfigFileName;
}

void TObjectgenerator::ReadConfigFirstHalf(bool& good)
{
    good = false;
    ConfigFileRead = ConfigPath();
    if (!QFileInfo(ConfigFileRead).isFile())
        return;
    TMemoryStream s;
    try {
        s.LoadFromFile(ConfigFileRead);
        const Int32 total = s.ReadInt32();
        if (total != s.Size())
            return;
        const Int32 language = s.ReadInt32();
        const bool autosave = s.ReadByte() != 0;
        const quint8 reserved = s.ReadByte();
        const bool rulers = s.ReadByte() != 0;
        const bool helpLines = s.ReadByte() != 0;
        const QString workDir = ReadText(s);
        LanguageIndex = language;
        AutosaveOn = autosave;
        ReservedByte = reserved;
        RulersVisible = rulers;
        HelpLinesVisible = helpLines;
        WorkDir = workDir;
        ConfigPosition = s.Position();
        good = true;
    } catch (const EStreamError&) {
        good = false; // unreadable configuration is ignored
    }
}

void TObjectgenerator::ReadConfigSecondHalf()
{
    if (!QFileInfo(ConfigFileRead).isFile())
        return;
    TMemoryStream s;
    QStringList recent;
    try {
        s.LoadFromFile(ConfigFileRead);
        s.SetPosition(ConfigPosition);
        for (int i = 0; i < 6; ++i)
            recent << ReadText(s);
        // The record goes into a scratch object first, so a broken record changes nothing.
        ConfigStreamScope scope(&s);
        const bool wasLoading = Loading;
        Loading = true;
        TDynPanel::LoadFromStream();
        Loading = wasLoading;
    } catch (const EStreamError&) {
        Loading = false;
        return;
    }
    for (int i = 0; i < 6; ++i)
        RecentFiles.SetString(i, recent[i]);
    TFont f;
    f.Charset = 1;
    f.Name = QStringLiteral("Arial");
    f.Color = clBlack;
    f.SetSize(8);
    SetFont(f);
    ZoomFactor = 1.0;
    DesignerColor = BackColor;
    SetColor(DesignerColor);
    SetBounds(5, 10, TotalWidth + 10, NormalHeight);
    show();
    raise();
}

void TObjectgenerator::WriteConfig()
{
    if (WorkDir.isEmpty() || ConfigFileName.isEmpty())
        return;
    TMemoryStream s;
    s.WriteInt32(0);
    s.WriteInt32(LanguageIndex);
    s.WriteByte(AutosaveOn ? 1 : 0);
    s.WriteByte(ReservedByte);
    s.WriteByte(RulersVisible ? 1 : 0);
    s.WriteByte(HelpLinesVisible ? 1 : 0);
    WriteText(s, WorkDir);
    for (int i = 0; i < 6; ++i)
        WriteText(s, i < RecentFiles.Count() ? RecentFiles.Strings(i) : QString());
    try {
        ConfigStreamScope scope(&s);
        BackColor = DesignerColor;
        StoreLogicalBounds();
        TDynPanel::SaveToStream();
    } catch (const EStreamError&) {
        // the file is written even when the record fails part-way
    }
    s.SetPosition(0);
    s.WriteInt32(static_cast<Int32>(s.Size()));
    try {
        s.SaveToFile(ConfigPath());
    } catch (const EStreamError&) {
        // a configuration that cannot be written is not reported
    }
}

// ---- layout ----

void TObjectgenerator::ComputeLayoutMetrics()
{
    const QFontMetrics fm(Font().ToQFont());
    TotalWidth = static_cast<int>(std::lround(2.0 * fm.horizontalAdvance(QStringLiteral("--Randbreite_____"))));
    ValueWidth = static_cast<int>(std::lround(0.55 * TotalWidth));
    LineHeight = fm.height() + 6;
    const int fontHeight = std::abs(Font().Height());
    SetWidth(5 * fontHeight + RowsHeight + 30 < Height() ? TotalWidth + 20 : TotalWidth + 40);
    if (OuterTopPanel)
        OuterTopPanel->setFixedHeight(2 * LineHeight + 12);
    if (MenuBar)
        MenuBar->setFixedHeight(LineHeight + 6);
    if (Project)
        Project->UpdateActiveForm();
}

void TObjectgenerator::SetObjectFont(const TFont& font)
{
    TDynPanel::SetObjectFont(font);
    ComputeLayoutMetrics();
}

void TObjectgenerator::SetColor(TColor color)
{
    if (color == NoColorChange)
        return;
    BackColor = color;
    DesignerColor = color;
    TPanel::SetColor(color);
    if (HostPanel)
        HostPanel->SetColor(color);
    for (TPanel* p : {static_cast<TPanel*>(OuterTopPanel), static_cast<TPanel*>(MenuBar), BottomPanel})
        if (p)
            p->SetColor(color);
    if (Project)
        Project->BackColor = color;
    Modified = true;
}

void TObjectgenerator::Activate()
{
    SelectedObject = this;
    ShowPropertyRows(this);
}

void TObjectgenerator::HostResized()
{
    if (Project) {
        Project->PageControl->setGeometry(HostPanel->rect());
        Project->UpdateActiveForm();
    }
    if (SelectedObject && SelectedObject != this)
        PlaceHandles();
}

// ---- moving and sizing the designer ----

void TObjectgenerator::MouseDownLeft(int x, int y, QPoint screen)
{
    unsetCursor();
    if (Locked())
        return;
    if (HitResizeEdge(x, y)) {
        sizing_ = true;
        Resizing = true;
        dragStart_ = screen;
        StartHeight = Height();
    } else {
        dragging_ = true;
        Moving = true;
        dragStart_ = QPoint(x, y);
        HideAllHandles();
    }
}

void TObjectgenerator::MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons)
{
    if (sizing_) {
        SetHeight(qMax(60, StartHeight + screen.y() - dragStart_.y()));
    } else if (dragging_) {
        move(Left() + x - dragStart_.x(), Top() + y - dragStart_.y());
    } else {
        UpdateHoverCursor(x, y);
    }
}

void TObjectgenerator::MouseUpLeft(int, int, QPoint)
{
    if (sizing_) {
        setCursor(SavedCursor);
        SetWidth(5 * LineHeight + RowsHeight < Height() ? TotalWidth + 20 : TotalWidth + 40);
    }
    if (dragging_ && SelectedObject && SelectedObject != this)
        PlaceHandles();
    dragging_ = sizing_ = false;
    Moving = Resizing = false;
    StoreLogicalBounds();
}

void TObjectgenerator::TogglePropertyPages(QObject* caller)
{
    if (caller != this) {
        LockAll(!AllLocked);
        return;
    }
    HideAllHandles();
    if (!PagesHidden) {
        SetHeight(Height() - PropertyPages->height());
        PropertyPages->hide();
        PagesHidden = true;
    } else {
        SetHeight(NormalHeight);
        PropertyPages->show();
        PropertyPages->raise();
        PagesHidden = false;
    }
    ToolBarPagesShown(!PagesHidden);
}

void TObjectgenerator::PrinterSetup()
{
    if (!TPrinter::Get().Setup())
        return;
    TakePrinterMetrics();
    NewProject();
}

void TObjectgenerator::SetAutosave(bool on)
{
    AutosaveOn = on;
    if (on) {
        if (!AutosaveTimer) {
            AutosaveTimer = std::make_unique<QTimer>();
            AutosaveTimer->setInterval(AutosaveInterval);
            QObject::connect(AutosaveTimer.get(), &QTimer::timeout, this, [this] { Autosave(); });
            AutosaveTimer->start();
        }
    } else {
        AutosaveTimer.reset();
    }
}

// ---- handles ----

void TObjectgenerator::HideAllHandles()
{
    for (TMovePanel* h : Handles)
        if (h)
            h->hide();
}

void TObjectgenerator::PlaceHandles()
{
    auto* object = dynamic_cast<TDYNSimpelPanel*>(SelectedObject);
    HideAllHandles();
    if (!object || object == this || PendingKind != NoPendingKind || AllLocked)
        return;
    if (object->Locked() && object->KindInfo.Code != kcDBForm)
        return;
    if (!object->ShowHandles)
        return;
    // The object's place in the designer's parent.
    QWidget* base = DesignerParentWindow();
    if (!base)
        return;
    QWidget* anchor = object->KindInfo.Code == kcGraphik ? object->parentWidget() : object;
    if (!anchor)
        return;
    const QPoint origin = anchor->mapTo(base->window(), QPoint(0, 0)) - base->mapTo(base->window(), QPoint(0, 0));
    int x = origin.x() - 4, y = origin.y() - 4;
    int w = object->Width(), h = object->Height();
    if (object->KindInfo.Code == kcGraphik) {
        x += object->Left();
        y += object->Top();
    }
    const int hw = Handles[0]->width();
    const QPoint p1(x + 1, y + 1);
    const QPoint p0(p1.x() + w + hw - 4, y + 1);
    const QPoint p2(p1.x(), y + h + hw - 4);
    const QPoint p3(p0.x(), p2.y());
    const QPoint p4((p1.x() + p0.x()) / 2, p1.y());
    const QPoint p7((p2.x() + p3.x()) / 2, p2.y());
    const QPoint p6(p1.x(), (p1.y() + p2.y()) / 2);
    const QPoint p5(p0.x(), (p0.y() + p3.y()) / 2);
    const std::array<QPoint, 8> at = {p0, p1, p2, p3, p4, p5, p6, p7};
    for (int i = 0; i < 8; ++i) {
        Handles[size_t(i)]->move(at[size_t(i)]);
        Handles[size_t(i)]->show();
        Handles[size_t(i)]->raise();
    }
}

// ---- what objects ask of the designer ----

void TObjectgenerator::ShowHandles(TDYNSimpelPanel* object)
{
    if (object && object == SelectedObject)
        PlaceHandles();
}

void TObjectgenerator::HideHandles()
{
    HideAllHandles();
}

void TObjectgenerator::ReportPosition(int left, int top, int width, int height)
{
    if (RulersVisible)
        RulersFollow(left, top, width, height);
}

void TObjectgenerator::RefreshDesigner()
{
    if (SelectedObject && SelectedObject != this)
        PlaceHandles();
    RefreshValues();
}

void TObjectgenerator::ShowPropertyRows(TDynPanel*)
{
    ShowRows();
}

void TObjectgenerator::HidePropertyPage()
{
    if (!KeepPage && CurrentGrid)
        CloseDropDown();
}

void TObjectgenerator::EnableObjectMenu(bool canCopy)
{
    MenuEnableObjectCommands(canCopy);
}

void TObjectgenerator::SetFormMoving(bool moving)
{
    FormMoving = moving;
}

void TObjectgenerator::PopupContextMenu(QPoint screenPos)
{
    ContextMenuPos = screenPos;
    MenuPopupContext(screenPos);
}

void TObjectgenerator::ObjectDestroyed(TDynPanel* object)
{
    if (object == SelectedObject)
        HideAllHandles();
}

void TObjectgenerator::RefillPictureChooser()
{
    if (OpenDropDown)
        CloseDropDown();
}

void TObjectgenerator::SaveObject(TDynPanel* object, bool askName)
{
    // The object rows "Save" and "Save as": the file commands with the object as target.
    SaveTarget(object, askName);
}
