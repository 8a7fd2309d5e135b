// Weak first versions of the designer operations that other units define; every real
// definition replaces its entry here.
#include "designer/Objectgenerator.h"
#include "objects/DYNProject.h"
#include "shell/OstrevoReportGenerator.h"
#include "shell/Variable.h"

#define KIVO_WEAK __attribute__((weak))

KIVO_WEAK TPanelMenu* CreatePanelMenu(TObjectgenerator*) { return nullptr; }
KIVO_WEAK TGeneratorToolBar* CreateGeneratorToolBar(TObjectgenerator*, QWidget*) { return nullptr; }
KIVO_WEAK void TObjectgenerator::MenuEnableObjectCommands(bool) {}
KIVO_WEAK void TObjectgenerator::MenuPopupContext(QPoint) {}
KIVO_WEAK void TObjectgenerator::ToolBarPagesShown(bool) {}
KIVO_WEAK void TObjectgenerator::BuildPropertyRows() {}
KIVO_WEAK void TObjectgenerator::DestroyPropertyRows() {}
KIVO_WEAK void TObjectgenerator::ShowRows() {}
KIVO_WEAK QString TObjectgenerator::RowValueText(const TObPanel&) const { return {}; }
KIVO_WEAK void TObjectgenerator::CellClicked(int, int, int) {}
KIVO_WEAK void TObjectgenerator::CommitValue(const QString&) {}
KIVO_WEAK void TObjectgenerator::DropDownChanged(TObComboBox*) {}
KIVO_WEAK void TObjectgenerator::BindDataSourceRow(int) {}
KIVO_WEAK void TObjectgenerator::BindFieldRow(int) {}
KIVO_WEAK void TObjectgenerator::CloseDropDown() {}
KIVO_WEAK TObPanel* TObjectgenerator::RowByName(const QString&) const { return nullptr; }
KIVO_WEAK void TObjectgenerator::RefreshValues() {}
KIVO_WEAK void TObjectgenerator::SetRulers(bool on, bool) { RulersVisible = on; }
KIVO_WEAK void TObjectgenerator::SetHelpLines(bool on) { HelpLinesVisible = on; }
KIVO_WEAK void TObjectgenerator::RulersFollow(int, int, int, int) {}
KIVO_WEAK void TObjectgenerator::FillObjectCombo() {}
KIVO_WEAK void TObjectgenerator::ChooseObject(int) {}
KIVO_WEAK void TObjectgenerator::CreatePendingObject(TDynMultiPanel*, const TDrawRect&) {}
KIVO_WEAK void TObjectgenerator::CopyObject() {}
KIVO_WEAK void TObjectgenerator::CutObject() {}
KIVO_WEAK void TObjectgenerator::PasteObject() {}
KIVO_WEAK void TObjectgenerator::DeleteObject() {}
KIVO_WEAK void TObjectgenerator::UndoRemove() {}
KIVO_WEAK void TObjectgenerator::LockAll(bool locked) { AllLocked = locked; }
KIVO_WEAK bool TObjectgenerator::AskSaveChanges() { return true; }
KIVO_WEAK void TObjectgenerator::NewProject()
{
    delete Project;
    Project = new TDYNProject(this, HostPanel);
    Project->NewForm();
}
KIVO_WEAK void TObjectgenerator::OpenProject(const QString&) {}
KIVO_WEAK void TObjectgenerator::LoadObjectFile(const QString&) {}
KIVO_WEAK bool TObjectgenerator::SaveProjectFile(bool) { return false; }
KIVO_WEAK void TObjectgenerator::DeleteProject() {}
KIVO_WEAK void TObjectgenerator::Autosave() {}
KIVO_WEAK void TObjectgenerator::AddRecentFile(const QString&) {}
KIVO_WEAK void TObjectgenerator::UpdateCaption() {}
