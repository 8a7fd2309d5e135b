#pragma once
// TObjectgenerator: the designer. A movable panel inside the host that carries the main menu,
// the object selector, the property panel, the toolbar, the selection handles, the rulers and
// the help lines. It is itself an object of the family.
//
// The class is implemented in several units:
//   Objectgenerator.cpp    construction, configuration file, moving and sizing, handles,
//                          autosave timer, rulers and help lines on/off, the designer link
//   PropertyPanel.cpp      the property rows and sheets: ShowRows, value texts, the three input
//                          paths, data binding rows (with PropertyTable, ObPanel, ObComboBox)
//   DesignerCommands.cpp   object creation, selection, clipboard, delete and undo
//   DesignerFiles.cpp      New, Open, Load object, Save, Save as, Delete project, autosave
//   DesignerAids.cpp       rulers and help lines on and off (SetRulers, SetHelpLines) and the
//                          rulers following ReportPosition
//
// What the designer's own code calls on the parts other units build:
//   CreatePanelMenu(designer)                 the menu, with its captions in MenuBar (PanelMenu.cpp)
//   CreateGeneratorToolBar(designer, parent)  the toolbar in BottomPanel (GeneratorToolBar.cpp)
//   MenuEnableObjectCommands, MenuPopupContext, ToolBarPagesShown (PanelMenu.cpp, GeneratorToolBar.cpp)
//   TObStringGrid                             a QWidget
#include "objects/DYNPanel.h"
#include "shell/Variable.h"
#include "objects/DesignerLink.h"
#include "platform/MemoryStream.h"
#include "platform/StringList.h"
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>
#include <array>
#include <memory>

class QPainter;
class TOstrevoReportGenerator;
class TMovePanel;
class TObPanel;
class TObStringGrid;
class TObComboBox;
// Built by the designer's constructor as `new TPanelMenu(this)` (it puts its captions into
// MenuBar and is a TComponent owned by the designer) and `new TGeneratorToolBar(this, BottomPanel)`
// (a widget child of BottomPanel); both are deleted by Qt or by the designer's destructor.
class TPanelMenu;
class TGeneratorToolBar;
class TLineal;
class TDynMarginPanel;
class TGridLine;
class TDYNProject;
class TDynDBForm;
class TDynMultiPanel;

// A plain strip of the designer (its top strip and the menu bar inside it).
class TtopPanel : public TPanel {
    Q_OBJECT
public:
    using TPanel::TPanel;
    // A press on the strip drags the designer.
    std::function<void(QMouseEvent*)> OnPress, OnMove, OnRelease;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

class TObjectgenerator : public TDynPanel, public TDesignerLink {
    Q_OBJECT
public:
    TObjectgenerator(TOstrevoReportGenerator* host);
    ~TObjectgenerator() override;

    // ---- parts ----
    QTabWidget* PropertyPages = nullptr;
    std::array<TObStringGrid*, 3> PropertyGrids{};
    TObStringGrid* CurrentGrid = nullptr;
    int CurrentCol = 0, CurrentRow = 0;
    TtopPanel* OuterTopPanel = nullptr;
    TtopPanel* MenuBar = nullptr;
    QComboBox* ObjectCombo = nullptr;
    QComboBox* HiddenObjectCombo = nullptr;
    TPanelMenu* Menu = nullptr;
    TPanel* BottomPanel = nullptr;
    TGeneratorToolBar* ToolBar = nullptr;
    TFont DialogFont;
    QLineEdit* ValueEdit = nullptr;
    std::array<TMovePanel*, 8> Handles{};
    std::unique_ptr<QTimer> AutosaveTimer;
    bool AutosaveOn = false;
    std::array<TLineal*, 2> Rulers{};              // horizontal, vertical
    std::array<TDynMarginPanel*, 4> HelpLineGuides{};
    std::array<TGridLine*, 4> HelpLines{};
    QString BackupFileName;
    QString ProjectDir;
    QString DesignerCreatedText;
    int TotalWidth = 188;
    int ValueWidth = 94;
    int LineHeight = 17;
    int BlankWidth = 3;
    int RowsHeight = 0;
    int NormalHeight = 380;
    qint64 ConfigPosition = 0;
    QString ConfigFileRead; // the configuration file the first half was read from
    quint8 ReservedByte = 0;
    TStringList RecentFiles;                 // 6 entries
    TMemoryStream Clipboard;
    // The 97 property rows in table order (made by BuildPropertyRows, freed by
    // DestroyPropertyRows).
    std::vector<TObPanel*> Rows;
    TObComboBox* OpenDropDown = nullptr;
    bool RowsShown = false;       // the property rows are switched on
    bool PagesHidden = false;     // "Generator off"
    bool FormMoving = false;
    bool KeepPage = false;
    TDYNProject* Project = nullptr;
    TOstrevoReportGenerator* HostPanel = nullptr;
    QPoint ContextMenuPos;

    // ---- construction and configuration (Objectgenerator.cpp) ----
    QString ConfigPath() const;
    void ReadConfigFirstHalf(bool& good);
    void ReadConfigSecondHalf();
    void WriteConfig();
    void ComputeLayoutMetrics();
    void SetAutosave(bool on);
    void TogglePropertyPages(QObject* caller);
    void PrinterSetup();
    void HostResized();
    void PlaceHandles();
    void HideAllHandles();

    // ---- the property panel (PropertyPanel.cpp) ----
    // The three sheets exist (PropertyPages->widget(0..2), each with an empty QVBoxLayout) when the
    // constructor calls BuildPropertyRows, which creates the grids on them and the 97 rows.
    void BuildPropertyRows();
    void DestroyPropertyRows();
    void ShowRows();
    QString RowValueText(const TObPanel& row) const;
    void CellClicked(int sheet, int col, int row);
    void CommitValue(const QString& text);
    void DropDownChanged(TObComboBox* box);
    void BindDataSourceRow(int itemIndex);
    void BindFieldRow(int itemIndex);
    void CloseDropDown();
    TObPanel* RowByName(const QString& rowName) const;

    // Repaints the value cells of the shown rows (PropertyPanel.cpp).
    void RefreshValues();
    // Refills the open drop-down when it is the picture row's (the picture list changed).
    void RefillPictureDropDown();
    // Helpers of the property panel (PropertyPanel.cpp).
    void ApplyGridMetrics();
    bool GridsShow(const TDynPanel* object) const;
    void RebuildGrids(TDynPanel* object);
    void RepaintGrid(TObStringGrid* grid);
    QString RowRawValue(const TObPanel& row, bool& number) const;
    void PaintCell(TObStringGrid& grid, QPainter& painter, int col, int row, const QRect& rect);
    void ClickRow(TObPanel& row);
    void RunClickAction(TObPanel& row, TDynPanel* object);
    void BuildDropDown(TObPanel& row);
    void FillDropDown(TObComboBox& box);

    // ---- rulers and help lines (DesignerAids.cpp) ----
    void SetRulers(bool on, bool fromRow);
    void SetHelpLines(bool on);
    void RulersFollow(int left, int top, int width, int height);

    // ---- object commands (DesignerCommands.cpp) ----
    void FillObjectCombo();
    void ChooseObject(int index);
    void CreatePendingObject(TDynMultiPanel* target, const TDrawRect& rect);
    void CopyObject();
    void CutObject();
    void PasteObject();
    void DeleteObject();
    void UndoRemove();
    void LockAll(bool locked);
    // The "Add object" entry "New form" (it has no pending kind: the form is made at once).
    static constexpr int NewFormEntry = 284;
    // Whether the "Add object" entry of this pending kind (or NewFormEntry) can make its object.
    static bool CanCreateKind(int kind);
    // Create object: the object of the entry in the container (nil only for NewFormEntry).
    void CreateObject(int kind, TDynMultiPanel* container);
    // Undo: shows HiddenObjectCombo with the removed objects (UndoRemove brings back its
    // chosen entry).
    void ShowRemovedObjects();
    // Load object: the first object of an object file joins the container of the selection,
    // as a pasted object does.
    void PasteFromFile(const QString& fileName);
    // "Newpaint": the current form rebuilds its display and the object list is filled again.
    void NewPaint();
    // The objects of the entries of ObjectCombo and HiddenObjectCombo, by index.
    std::vector<QPointer<TDynPanel>> ComboObjects, HiddenComboObjects;
    // An object is being created: the handles stay hidden meanwhile.
    bool Creating = false;
    // Delete project took the rulers and help lines off their form; the next project gets them.
    bool AidsDetached = false;

    // ---- menu and toolbar (PanelMenu.cpp, GeneratorToolBar.cpp) ----
    void MenuEnableObjectCommands(bool canCopy);  // Copy and Cut exactly when the kind may be copied
    void MenuPopupContext(QPoint screen);          // the object menu at the mouse
    void ToolBarPagesShown(bool shown);            // the "Generator off" button's picture and the three buttons

    // ---- file commands (DesignerFiles.cpp) ----
    bool AskSaveChanges();         // false when the user cancelled
    void NewProject();
    void OpenProject(const QString& fileName = QString());
    void LoadObjectFile(const QString& fileName = QString());
    bool SaveProjectFile(bool askName);
    void DeleteProject();
    void Autosave();
    void AddRecentFile(const QString& fileName);
    void UpdateCaption();
    // Opens the project of recent-file entry index (0..5).
    void OpenRecentFile(int index);
    // Save of a project (target = Project) or an object; askName: "Save as". False when nothing
    // was written.
    bool SaveTarget(TDynPanel* target, bool askName);
    // The captions for a file name: the designer's caption names the file; returns the name with
    // its extension replaced by the given one.
    QString CaptionsFor(const QString& fileName, const QString& extension);

    // ---- the object protocol ----
    void SelectOnClick() override {}
    void Activate() override;
    void AlignAndPaint() override {}
    void SetObjectFont(const TFont& font) override;
    void SetColor(TColor color) override;
    void ApplyZoom(double) override {}
    bool IsDesignerObject() const override { return true; }
    void MouseDownLeft(int x, int y, QPoint screen) override;
    void MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons buttons) override;
    void MouseUpLeft(int x, int y, QPoint screen) override;

    // ---- what objects ask of the designer ----
    void ShowHandles(TDYNSimpelPanel* object) override;
    void HideHandles() override;
    void ReportPosition(int left, int top, int width, int height) override;
    void RefreshDesigner() override;
    void ShowPropertyRows(TDynPanel* object) override;
    void HidePropertyPage() override;
    void EnableObjectMenu(bool canCopy) override;
    void SetFormMoving(bool moving) override;
    void PopupContextMenu(QPoint screenPos) override;
    void ObjectDestroyed(TDynPanel* object) override;
    void RefillPictureChooser() override;
    void SaveObject(TDynPanel* object, bool askName) override;

private:
    QPoint dragStart_;
    bool dragging_ = false, sizing_ = false;
};

// The designer's parent window: the host panel's parent as the designer saw it.
QWidget* DesignerParentWindow();

// Whether the database engine was found when the designer started (Qt SQL offers SQLite).
bool DatabaseEngineInstalled();

// Makes every host panel create its designer (the program and tests call it once).
void InstallDesignerFactory();

// The menu and the toolbar, made by their own units.
TPanelMenu* CreatePanelMenu(TObjectgenerator* designer);
TGeneratorToolBar* CreateGeneratorToolBar(TObjectgenerator* designer, QWidget* parent);
