#pragma once
// TDynDBForm: the database form: a page of the project with header, footer, an optional report
// table and the print modes that decide how it is printed or previewed.
#include "data/CloneTable.h"
#include "objects/DynForm.h"
#include "platform/StringList.h"

class THeader;
class TFooter;
class TFormTab;
class TDYNProject;

class TDynDBForm : public TDynForm {
    Q_OBJECT
public:
    // Creates the form on a new page of the project's page control.
    TDynDBForm(TDYNProject* project, TFormTab* tab);
    ~TDynDBForm() override;

    TFormTab* Tab = nullptr;
    TDYNProject* Project = nullptr;
    THeader* Header = nullptr;
    TFooter* Footer = nullptr;
    bool HeaderOn = false, FooterOn = false;
    TDynPanel* ReportTable = nullptr;
    bool SerialPrint = false, GroupPrint = false, DataPages = false, ReportMode = false;
    Int32 LastRecordIndex = 0;
    Int32 PageIndex = 0;
    Int32 RecordCounter = 0;
    bool NeedsLayout = false;
    QString SavedFilter;
    SGruppenFilter GroupFilter;
    TStringList GroupValues;

    void Activate() override;
    void UpdateLayout() override;
    void MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons buttons) override;
    void SetModeA(quint8 value) override;
    void PaintTo(TCanvas& canvas) override;
    void SetObjectName(const QString& text) override;
    bool HasHeaderFooterOn(Int32 code) const override;

    void CreateHeaderFooter();
    // Lays out a form that was loaded and not yet shown.
    void CompletePendingLayout();
    void ToggleSerialPrint();
    void ToggleGroupPrint();
    void BuildGroupFilter();
    void ResetGroupFilter();
    // The design view: the page with its objects, header, footer and margin strips.
    void DesignPaint(TCanvas& canvas);

    // The complete routines of the form entry in a project file.
    void SaveEntry();
    void LoadEntry(quint8 dataPages);
};
