#include "objects/DynDBForm.h"
#include "content/Header.h"
#include "content/Lineal.h"
#include "designer/Objectgenerator.h"
#include "content/PrintMarginPanel.h"
#include "designer/BImage.h"
#include "objects/DYNProject.h"
#include "objects/DesignerLink.h"
#include "objects/KindRegistry.h"
#include "objects/RScrollBox.h"
#include "platform/MemoryStream.h"
#include "platform/Printer.h"
#include "shell/Variable.h"

TDynDBForm::TDynDBForm(TDYNProject* project, TFormTab* tab)
    : TDynForm(project, tab->RScrollBox->Surface()), Tab(tab), Project(project)
{
    ScrollBox = tab->RScrollBox;
    FormPixelsPerMmX = PixelsPerMmX;
    FormPixelsPerMmY = PixelsPerMmY;
    KindInfo = KindByCode(kcDBForm);
    Name = QStringLiteral("Form ") + QString::number(project ? project->PageControl->count() : 1);
    PropertySet = PropertySets::DBForm();
    ReportTable = nullptr;
    Host = nullptr;
    if (project) {
        const int index = project->PageControl->indexOf(tab);
        if (index >= 0)
            project->PageControl->setTabText(index, Name);
    }
    CollectPropertyRows();
    CreateHeaderFooter();
    Children->ListName = Name + Texts(130);
    CurrentList = Children.get();
    NeedsLayout = false;
    GroupFilter.DateLevel = 3;
}

TDynDBForm::~TDynDBForm()
{
    if (CurrentForm == this)
        CurrentForm = nullptr;
    // The children (header and footer among them) go while the form is still whole.
    Children->Clear();
    Header = nullptr;
    Footer = nullptr;
}

void TDynDBForm::CreateHeaderFooter()
{
    if (Header || Footer)
        return;
    TDynDBForm* previous = CurrentForm;
    CurrentForm = this;
    Header = new THeader(this, this);
    Footer = new TFooter(this, this);
    CurrentForm = previous;
    Children->Add(Header);
    Children->Add(Footer);
    Header->Name = Name + QStringLiteral(" Header");
    Footer->Name = Name + QStringLiteral(" Footer");
    HeaderOn = FooterOn = false;
    Header->hide();
    Footer->hide();
}

void TDynDBForm::UpdateLayout()
{
    TDynForm::UpdateLayout();
    if (Loading)
        return;
    if (Header && HeaderOn)
        Header->UpdateLayout();
    if (Footer && FooterOn)
        Footer->UpdateLayout();
}

void TDynDBForm::MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons buttons)
{
    // The rulers' marks follow the mouse over the page.
    if (RulersVisible && TheDesigner)
        TLineal::ShowPositionOn(TheDesigner->Rulers, x, y);
    TDynForm::MouseMoved(x, y, screen, buttons);
}

bool TDynDBForm::HasHeaderFooterOn(Int32 code) const
{
    return code == kcHeader ? HeaderOn : code == kcFooter ? FooterOn : false;
}

void TDynDBForm::SetObjectName(const QString& text)
{
    Name = text;
    if (Project && Tab) {
        const int index = Project->PageControl->indexOf(Tab);
        if (index >= 0)
            Project->PageControl->setTabText(index, Name);
    }
}

void TDynDBForm::Activate()
{
    TDynForm::Activate();
    SelectedObject = this;
    CurrentList = Children.get();
    CurrentParent = this;
    CurrentForm = this;
    GridStep = GridPixels;
    SnapToGrid = ::SnapToGrid;
    CompletePendingLayout();
}

void TDynDBForm::CompletePendingLayout()
{
    if (!NeedsLayout)
        return;
    Loading = false;
    NeedsLayout = false;
    SetPageGeometry(PrintMargins);
    UpdateLayout();
    UpdateChildren(this);
    show();
    ShowChildren(this, true);
}

void TDynDBForm::ToggleSerialPrint()
{
    const bool previous = SerialPrint;
    SerialPrint = !SerialPrint;
    GroupPrint = previous;
}

void TDynDBForm::ToggleGroupPrint()
{
    if (!ReportTable)
        GroupPrint = true;
    const bool previous = GroupPrint;
    GroupPrint = !GroupPrint;
    SerialPrint = previous;
    if (GroupPrint) {
        BuildGroupFilter();
    } else {
        GroupFilter.Field = nullptr;
        GroupFilter.FieldName = Texts(274);
        ResetGroupFilter();
    }
}

void TDynDBForm::SetModeA(quint8 value)
{
    TDynForm::SetModeA(value);
    GroupFilter.DateLevel = value;
    BuildGroupFilter();
}

void TDynDBForm::BuildGroupFilter()
{
    // Grouped printing needs a report table with groups; until one exists there is nothing to group.
    if (!GroupPrint || !ReportTable) {
        GroupFilter.Field = nullptr;
        GroupFilter.FieldName = Texts(274);
    }
}

void TDynDBForm::ResetGroupFilter()
{
    if (!DataSource)
        return;
    GroupFilter.Field = nullptr;
    GroupFilter.FieldName = Texts(274);
}

void TDynDBForm::DesignPaint(TCanvas& canvas)
{
    pleft = ptop = 0;
    if (PageIndex == 0 || SerialPrint) {
        TDynRichEdit::PaintTo(canvas);
    } else {
        PaintBody(canvas);
        if (Header)
            Header->PaintTo(canvas);
        if (Footer)
            Footer->PaintTo(canvas);
    }
    for (TDynPrintMarginPanel* m : {MarginLeftPanel.get(), MarginTopPanel.get(), MarginRightPanel.get(),
                                    MarginBottomPanel.get()})
        m->Paint(canvas);
}

void TDynDBForm::PaintTo(TCanvas& canvas)
{
    const bool ownSurface = IsOwnSurface(canvas);
    PaintingForOutput = true;
    RecordCounter = 0;
    PaintCanvas = &canvas;
    RecalcFrames();
    BorderFrame->StoreLogical();
    if (ownSurface) {
        PaintingForOutput = false;
        DesignPaint(canvas);
    } else {
        PreviewMode = !canvas.IsPrinter();
        DesignPaint(canvas);
    }
    // Header and footer lead the list.
    if (Header && Children->IndexOf(Header) != 0) {
        Children->Unlink(Header);
        Children->InsertAt(0, Header);
    }
    if (Footer && Children->IndexOf(Footer) != 1) {
        Children->Unlink(Footer);
        Children->InsertAt(1, Footer);
    }
    PaintingForOutput = false;
}

// ---- the form entry of a project file ----

void TDynDBForm::SaveEntry()
{
    // A form read but never shown is laid out first, so that what it saves is what it shows.
    CompletePendingLayout();
    TMemoryStream& s = Stream();
    s.WriteByte(DataPages ? 1 : 0);
    TDynRichEdit::SaveToStream();
    for (int i = 0; i < 4; ++i)
        WriteFieldValue<Int32>(0);
    WriteFieldValue<Int32>(GridPixels);
    WriteFieldBool(ShowGrid);
    WriteFieldValue<Int32>(ZoomIndex);
    WriteFieldBool(HeaderOn);
    WriteFieldBool(FooterOn);
    WriteFieldBool(SerialPrint);
    WriteFieldBool(ReportMode);
    WriteText(s, GroupFilter.FieldName);
    WriteText(s, GroupFilter.Value);
    WriteText(s, GroupFilter.Caption);
    WriteFieldValue<quint8>(GroupFilter.DateLevel);
    CloseRecord();
}

void TDynDBForm::LoadEntry(quint8 dataPages)
{
    DataPages = dataPages != 0;
    TDynRichEdit::LoadFromStream();
    TMemoryStream& s = Stream();
    for (int i = 0; i < 4; ++i) {
        Int32 reserved = 0;
        ReadFieldValue(reserved);
    }
    ReadFieldValue(GridPixels);
    ReadFieldBool(ShowGrid);
    ReadFieldValue(ZoomIndex);
    ReadFieldBool(HeaderOn);
    ReadFieldBool(FooterOn);
    ReadFieldBool(SerialPrint);
    ReadFieldBool(ReportMode);
    GroupFilter.FieldName = ReadText(s);
    GroupFilter.Value = ReadText(s);
    GroupFilter.Caption = ReadText(s);
    ReadFieldValue(GroupFilter.DateLevel);
    if (Header)
        Header->SwitchOn(HeaderOn);
    if (Footer)
        Footer->SwitchOn(FooterOn);
    GrowWithBorder = false;
    Background->lower();
    SetObjectName(Name);
    NeedsLayout = true;
    LastRecordIndex = 0;
}

namespace {
// The database form entry: one byte before the record, then the form's own complete routines.
TKindEntry DBFormKind()
{
    TKindEntry e;
    e.Code = kcDBForm;
    e.Creation = TCreationRule::AlwaysNew;
    e.Adding = TAddRule::AddAsForm;
    e.ReadLeading = [](TMemoryStream& s) -> std::any { return s.ReadByte(); };
    e.Create = [](TComponent*, QWidget*, const std::any&) -> TComponent* {
        TDYNProject* project = TDYNProject::Current();
        if (!project)
            throw EStreamError("a form entry outside a project");
        return project->NewForm();
    };
    e.Save = [](TComponent* o) { KindObject<TDynDBForm>(o, kcDBForm).SaveEntry(); };
    e.Load = [](TComponent* o, const std::any& leading) {
        KindObject<TDynDBForm>(o, kcDBForm).LoadEntry(std::any_cast<quint8>(leading));
    };
    return e;
}
const TKindRegistrar registerDBForm(DBFormKind());
} // namespace
