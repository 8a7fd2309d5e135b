// The designer's file commands: the save question, New, Open, Load object, Save, Save as with
// the protection copy, Delete project, autosave, the recent files and the captions.
#include "designer/Objectgenerator.h"
#include "designer/PanelMenu.h"
#include "objects/DYNProject.h"
#include "objects/DynDBForm.h"
#include "objects/ObjectList.h"
#include "objects/RemovedObjects.h"
#include "platform/Dialogs.h"
#include "shell/OstrevoReportGenerator.h"
#include "shell/Variable.h"
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace {
// The name of the autosave file once its extension is replaced: a project under this title is
// saved under a name the user gives.
const QString BackupTitle = QStringLiteral("tmpBackUp.KvR");

// The name with its extension (from its last dot after the last directory separator) replaced.
QString ReplaceExtension(const QString& name, const QString& extension)
{
    const int slash = name.lastIndexOf(QLatin1Char('/'));
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return (dot > slash ? name.left(dot) : name) + extension;
}

bool EndsExactly(const QString& name, const QString& extension)
{
    return name.endsWith(extension, Qt::CaseSensitive);
}

bool IsProjectName(const QString& name)
{
    return EndsExactly(name, ExtProject) || EndsExactly(name, ExtProjectBackup) || EndsExactly(name, ExtProjectTemp);
}

bool IsObjectName(const QString& name)
{
    return EndsExactly(name, ExtObject) || EndsExactly(name, ExtObjectBackup);
}

bool SameFile(const QString& a, const QString& b)
{
    return !a.isEmpty() && !b.isEmpty() && QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

// New (open = false) and Open (open = true, the file in CurrentFileName). False when the save
// question was cancelled or the project file could not be read.
bool StartProject(TObjectgenerator& d, bool open)
{
    if (!d.AskSaveChanges())
        return false;
    Loading = false;
    d.HideAllHandles();
    Modified = false;
    ZoomPercent = 100.0;
    ZoomFactor = 1.0;
    LastZoomPercent = 100.0;
    GridStep = 20;
    SnapToGrid = false;
    PendingKind = NoPendingKind;
    d.ObjectCombo->clear();
    d.ComboObjects.clear();
    d.HiddenObjectCombo->clear();
    d.HiddenObjectCombo->hide();
    d.HiddenComboObjects.clear();
    d.ProjectDir = WorkDir;
    if (d.Project)
        d.DeleteProject();
    if (AllLocked)
        d.LockAll(false);

    auto* project = new TDYNProject(&d, d.HostPanel);
    d.Project = project;
    // The host may free its children in any order: the designer forgets a project that went first.
    QObject::connect(project, &QObject::destroyed, &d, [&d, project] {
        if (d.Project == project)
            d.Project = nullptr;
    });
    if (d.HostPanel)
        d.Project->PageControl->setGeometry(d.HostPanel->rect());
    d.HideAllHandles();
    // The host's tables and queries become the project's data sources.
    if (DatabaseEngineInstalled())
        d.Project->CollectHostDataSources();
    d.Project->Activate();
    CurrentList = d.Project->Children.get();
    CurrentParent = nullptr;
    if (d.Menu)
        d.Menu->EnableCaptions(true);

    bool read = true;
    if (!open) {
        CurrentFileName = TitleUntitled;
        d.CreateObject(TObjectgenerator::NewFormEntry, nullptr);
    } else {
        const QString chosen = CurrentFileName;
        read = d.Project->LoadProject(chosen);
        if (read) {
            const QString title = d.CaptionsFor(chosen, ExtProject);
            CurrentFileName = title;
            d.Project->Title = title;
            // A project saved locked opens locked: the property pages go.
            if (d.Project->pLock)
                d.LockAll(true);
        } else {
            // Nothing was read: the project stays a new one, so that a save cannot replace the
            // file that failed.
            CurrentFileName = TitleUntitled;
            d.Project->Title = TitleUntitled;
        }
    }
    if (d.Project->Name.isEmpty())
        d.Project->Name = CurrentFileName;
    d.UpdateCaption();
    if (CurrentForm)
        CurrentForm->Select();
    d.raise();
    if (!AllLocked)
        d.PlaceHandles();
    if (d.AidsDetached) {
        // The rulers and help lines come back on the new project's form.
        d.AidsDetached = false;
        if (RulersVisible) {
            RulersVisible = false;
            d.SetRulers(true, false);
        }
        if (HelpLinesVisible) {
            HelpLinesVisible = false;
            d.SetHelpLines(true);
        }
    }
    d.FillObjectCombo();
    Modified = false;
    if (d.Project->pLock && d.Menu)
        d.Menu->RunPreview();
    return read;
}

// Save under title: the protection copy of the file there, then the file itself.
bool SaveUnderTitle(TObjectgenerator& d, TDynPanel* target)
{
    const QString title = target->Title;
    const bool project = target == d.Project;
    const QFileInfo info(title);
    const QString dir = info.absolutePath();
    if (!DirectoryExists(dir)) {
        TDialogs::Get().MessageDlg(Texts(156) + dir + Texts(157), TMsgDlgType::Error, mbOK);
        return false;
    }
    if (info.exists()) {
        const QString copy = ReplaceExtension(title, EndsExactly(title, ExtProject) ? ExtProjectBackup : ExtObjectBackup);
        // The file stays where it is until the new one has been written in its place.
        const bool copied = (!QFileInfo::exists(copy) || QFile::remove(copy)) && QFile::copy(title, copy);
        if (!copied) {
            TDialogs::Get().MessageDlg(Texts(210), TMsgDlgType::Error, mbOK);
            return false;
        }
    }
    if (project) {
        d.Project->BackupFileName.clear();
        if (!d.Project->SaveProject(title))
            return false;
        d.AddRecentFile(title);
        return true;
    }
    return TObjectList::SaveObjectToFile(target, title);
}

bool SaveTargetAs(TObjectgenerator& d, TDynPanel* target)
{
    const bool project = target == d.Project;
    TFileDialogRequest request;
    request.Title = Texts(30);
    request.Filter = project ? ProjectFileFilter : ObjectFileFilter;
    request.InitialDir = d.ProjectDir;
    if (target->Title != TitleUntitled)
        request.FileName = target->Title;
    // A cancelled dialog changes nothing.
    if (!TDialogs::Get().SaveFile(request) || request.FileName.isEmpty())
        return false;
    const QString name = request.FileName;
    if (QFileInfo::exists(name)
        && TDialogs::Get().MessageDlg(QStringLiteral("OK to overwrite %1").arg(name), TMsgDlgType::Confirmation,
                                      mbYesNoCancel)
               != mrYes)
        return false;
    target->Title = d.CaptionsFor(name, project ? ExtProject : ExtObject);
    return SaveUnderTitle(d, target);
}
} // namespace

// ---- the save question ----

bool TObjectgenerator::AskSaveChanges()
{
    if (!Modified || !Project)
        return true;
    const int answer = TDialogs::Get().MessageDlg(QStringLiteral("Save changes to %1?").arg(Project->Title),
                                                  TMsgDlgType::Confirmation, mbYesNoCancel);
    if (answer == mrYes)
        return SaveProjectFile(false); // what could not be saved is not given up
    return answer == mrNo;
}

// ---- New and Open ----

void TObjectgenerator::NewProject()
{
    StartProject(*this, false);
}

void TObjectgenerator::OpenProject(const QString& fileName)
{
    QString name = fileName;
    if (name.isEmpty()) {
        TFileDialogRequest request;
        request.Title = Texts(106);
        request.Filter = OpenFileFilter;
        request.InitialDir = WorkDir;
        if (!TDialogs::Get().OpenFile(request))
            return;
        name = request.FileName;
    }
    if (name.isEmpty() || !QFileInfo(name).isFile())
        return;
    // The extension decides, compared exactly; the designer's own backup file opens as a project.
    if (IsProjectName(name) || SameFile(name, BackupFileName)) {
        CurrentFileName = name;
        if (StartProject(*this, true))
            AddRecentFile(name);
    } else if (IsObjectName(name)) {
        CurrentFileName = name;
        if (!Project)
            return;
        if ((!SelectedObject || !SelectedObject->KindInfo.IsVisual) && CurrentForm)
            CurrentForm->Select();
        PasteFromFile(name);
    }
}

void TObjectgenerator::OpenRecentFile(int index)
{
    if (index < 0 || index >= RecentFiles.Count())
        return;
    const QString name = RecentFiles.Strings(index);
    if (name.isEmpty() || !QFileInfo(name).isFile())
        return;
    CurrentFileName = name;
    if (StartProject(*this, true))
        AddRecentFile(name);
}

void TObjectgenerator::LoadObjectFile(const QString& fileName)
{
    if (!Project)
        return;
    QString name = fileName;
    if (name.isEmpty()) {
        TFileDialogRequest request;
        request.Title = Texts(310);
        request.Filter = ObjectFileFilter;
        request.InitialDir = WorkDir;
        if (!TDialogs::Get().OpenFile(request) || request.FileName.isEmpty())
            return;
        name = request.FileName;
    }
    // The caption names the object file; the file read is the one chosen.
    CaptionsFor(name, ExtObject);
    CurrentFileName = name;
    if (!QFileInfo(name).isFile())
        return;
    if ((!SelectedObject || !SelectedObject->KindInfo.IsVisual) && CurrentForm)
        CurrentForm->Select();
    PasteFromFile(name);
}

// ---- Save ----

bool TObjectgenerator::SaveProjectFile(bool askName)
{
    if (!Project)
        return false;
    return SaveTarget(Project, askName);
}

bool TObjectgenerator::SaveTarget(TDynPanel* target, bool askName)
{
    if (!target)
        return false;
    if (QFileInfo(target->Title).fileName() == BackupTitle)
        target->Title = TitleUntitled;
    if (askName || target->Title == TitleUntitled || target->Title.isEmpty())
        return SaveTargetAs(*this, target);
    return SaveUnderTitle(*this, target);
}

// ---- Delete project ----

void TObjectgenerator::DeleteProject()
{
    if (!AskSaveChanges())
        return;
    if (Project) {
        CurrentList = nullptr;
        ObjectCombo->clear();
        ComboObjects.clear();
        HiddenObjectCombo->clear();
        HiddenObjectCombo->hide();
        HiddenComboObjects.clear();
        // Rulers and help lines leave the form; the setting stays for the next project.
        if (RulersVisible) {
            SetRulers(false, false);
            RulersVisible = true;
            AidsDetached = true;
        }
        if (HelpLinesVisible) {
            SetHelpLines(false);
            HelpLinesVisible = true;
            AidsDetached = true;
        }
        HideAllHandles();
        const bool wasLoading = Loading;
        Loading = true; // the pages do not select forms while they go
        RemovedObjects().FreeAll();
        TDYNProject* project = Project;
        Project = nullptr;
        delete project;
        Loading = wasLoading;
    }
    Modified = false;
    SelectedObject = nullptr;
    PreviousObject = nullptr;
    CurrentForm = nullptr;
    CurrentParent = nullptr;
    CurrentList = nullptr;
    PendingKind = NoPendingKind;
    HidePropertyPage();
    ShowRows();
    HideAllHandles();
}

// ---- autosave ----

void TObjectgenerator::Autosave()
{
    if (!AutosaveOn || !AutosaveTimer || !Project)
        return;
    // The backup changes neither the title nor the recent files nor Modified.
    const QString title = Project->Title;
    const bool modified = Modified;
    Project->BackupFileName = BackupFileName;
    Project->SaveProject(BackupFileName);
    Project->BackupFileName.clear();
    Project->Title = title;
    Modified = modified;
}

// ---- recent files and captions ----

void TObjectgenerator::AddRecentFile(const QString& fileName)
{
    if (Menu)
        Menu->AddRecentFile(fileName);
}

QString TObjectgenerator::CaptionsFor(const QString& fileName, const QString& extension)
{
    if (fileName != TitleNotExist)
        SetCaption(QStringLiteral("%1 - %2").arg(QFileInfo(fileName).fileName(), QGuiApplication::applicationDisplayName()));
    return ReplaceExtension(fileName, extension);
}

void TObjectgenerator::UpdateCaption()
{
    if (!HostPanel || !Project)
        return;
    QWidget* window = HostPanel->window();
    if (window && window != HostPanel)
        window->setWindowTitle(Project->Name + QStringLiteral("  ") + CurrentFileName);
}
