#pragma once
// TPanelMenu: the designer's main menu. Not a window menu bar: four clickable captions in the
// designer's MenuBar strip ("File", "Edit", "Add object", "Info"), each opening its popup menu
// under it. The entries start the designer's object and file commands, the printer setup and
// the preview, lock the whole project, select the project or the designer for their property
// rows, and open the help.
#include "platform/Component.h"
#include <QLabel>
#include <QPoint>
#include <QPointer>
#include <array>
#include <functional>
#include <map>

class QAction;
class QMenu;
class TObjectgenerator;

// A caption of the menu strip: a label that opens its popup at its own screen position plus an
// offset when it is pressed.
class TMenuCaption : public QLabel {
    Q_OBJECT
public:
    TMenuCaption(const QString& text, QWidget* parent, QMenu* popup, QPoint offset);

    QMenu* Popup = nullptr;
    QPoint Offset;
    void OpenPopup();

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

class TPanelMenu : public QObject, public TComponent {
    Q_OBJECT
public:
    // Builds the four captions in the designer's MenuBar and their popups, and installs the
    // placement of pending kinds (TDynMultiPanel::CreatePendingObject) for the designer.
    explicit TPanelMenu(TObjectgenerator* designer);
    ~TPanelMenu() override;

    TObjectgenerator* Generator = nullptr;

    // ---- captions and popups ----
    TMenuCaption* FileCaption = nullptr;
    TMenuCaption* EditCaption = nullptr;
    TMenuCaption* AddCaption = nullptr;
    TMenuCaption* InfoCaption = nullptr;
    QMenu* FilePopup = nullptr;
    QMenu* EditPopup = nullptr;
    QMenu* AddPopup = nullptr;
    QMenu* InfoPopup = nullptr;
    QMenu* GraficMenu = nullptr;
    QMenu* GridsMenu = nullptr;
    QMenu* DatafieldInputMenu = nullptr;

    // ---- "File" ----
    QAction* NewProjectItem = nullptr;
    QAction* OpenItem = nullptr;
    QAction* LoadObjectItem = nullptr;
    QAction* SaveItem = nullptr;
    QAction* SaveAsItem = nullptr;
    QAction* PreviewItem = nullptr;
    QAction* PrinterSetupItem = nullptr;
    std::array<QAction*, 6> RecentItems{};
    QAction* LockItem = nullptr;
    QAction* ExitItem = nullptr;

    // ---- "Edit" ----
    QAction* UndoItem = nullptr;
    QAction* NewPaintItem = nullptr;
    QAction* CutItem = nullptr;
    QAction* CopyItem = nullptr;
    QAction* PasteItem = nullptr;
    QAction* DeleteItem = nullptr;
    QAction* ProjectOptionsItem = nullptr;
    QAction* DeleteProjectItem = nullptr;
    QAction* OptionsItem = nullptr;

    // ---- "Add object" ----
    QAction* NewFormItem = nullptr;
    QAction* LabelItem = nullptr;
    QAction* SqlItem = nullptr;
    // The placing entries by their pending kind (TPendingKind of objects/DynMultiPanel.h).
    std::map<int, QAction*> KindItems;

    // ---- "Info" ----
    QAction* HelpItem = nullptr;
    QAction* HelpIndexItem = nullptr;
    QAction* ContactItem = nullptr;
    QAction* InternetItem = nullptr;
    QAction* VersionItem = nullptr;

    // Cut and Copy, together (the selected object's kind may or may not be copied).
    void EnableEditEntries(bool value);
    // "Edit" and "Add object" become usable (a project exists) or not.
    void EnableCaptions(bool value);
    // Follows AllLocked: the lock entry's caption, the captions hidden while locked.
    void UpdateLockState();
    // The six recent-file items from the designer's list: caption = file name, shown only when
    // the file exists.
    void UpdateRecentItems();
    // Puts a project file name at the head of the recent files (only names ending exactly in
    // ".KvR"); the list keeps six entries.
    void AddRecentFile(const QString& fileName);
    // An "Add object" entry: stores its kind as the pending kind.
    void ChooseKind(int kind);
    // "Preview": the preview of the current form in a modal window.
    void RunPreview();
    // "Exit": after the save question, writes the configuration and frees the designer.
    void Exit();
    // "Help" and "Help index": the program's help page in the browser.
    void ShowHelp(bool index);
    // The object menu at the mouse (the right button on an object).
    void PopupContext(QPoint screen);

    // Whether the preview entries can run: a preview is installed.
    static bool PreviewAvailable();
    // Runs the preview of the current form; installed by the preview's unit.
    static std::function<void(TObjectgenerator*)>& PreviewRunner();
    // The maker's support e-mail address and web address shown in "Info".
    static const QString SupportMail;
    static const QString WebAddress;
    // The help page installed beside the program.
    static QString HelpFilePath();

private:
    QAction* AddItem(QMenu* menu, const QString& caption, std::function<void()> action);
    void UpdateEnabled();
    bool captionsEnabled_ = false;
    bool canCopy_ = true;
};
