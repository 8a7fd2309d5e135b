#include "content/Header.h"
#include "designer/BImage.h"
#include "objects/DesignerLink.h"
#include "objects/DynDBForm.h"
#include "objects/KindRegistry.h"
#include "shell/Variable.h"
#include <algorithm>

namespace {
constexpr Int32 InitialHeight = 150;
constexpr Int16 BottomSide = 2, TopSide = 1;

// The content frame of the form in its pixels; the container's area when there is no form.
TRect FrameOf(const TDynPanel* form, const QWidget* container)
{
    if (form)
        return form->ContentFrame->PixelRect();
    if (container)
        return TRect(0, 0, container->width(), container->height());
    return TRect(0, 0, 0, 0);
}

TBImage* SurfaceOf(TDynPanel* form)
{
    return form ? form->Background : nullptr;
}
} // namespace

// ---- header ----

THeader::THeader(TDynPanel* form, QWidget* container) : TDynRichEdit(form, container), Form(form)
{
    KindInfo = KindByCode(kcHeader);
    FirstPage = false;
    SetCaption(QString());
    Name = QStringLiteral("Header") + NumberText;
    SetHint(QString());
    PropertySet = PropertySets::Header();
    CollectPropertyRows();
    Interaction = ibSizeHeight | ibReport;
    BorderPixels = BorderWidth = 2;
    BorderSides = BottomSide;
    Content = nullptr;
    SetLocked(false);
    SetHeight(InitialHeight);
    pheight = InitialHeight;
}

TDynDBForm* THeader::DBForm() const
{
    return dynamic_cast<TDynDBForm*>(Form);
}

bool THeader::ToggleOn()
{
    SwitchedOn = !SwitchedOn;
    if (TDynDBForm* f = DBForm()) {
        if (AtBottom())
            f->FooterOn = SwitchedOn;
        else
            f->HeaderOn = SwitchedOn;
    }
    SetVisible(SwitchedOn);
    return SwitchedOn;
}

void THeader::SwitchOn(bool value)
{
    SwitchedOn = value;
    SetVisible(value);
}

void THeader::ToggleFromRow()
{
    if (ToggleOn()) {
        Select();
        UpdateLayout();
        BringToFront();
        if (auto* d = Designer())
            d->ShowPropertyRows(this);
    } else if (Form) {
        Form->Select();
        if (auto* d = Designer())
            d->ShowPropertyRows(Form);
    }
}

void THeader::UpdateLayout()
{
    if (Loading)
        return;
    const TRect cf = FrameOf(Form, Container);
    SetLeft(cf.Left);
    SetTop(AtBottom() ? cf.Bottom - Height() : cf.Top);
    SetWidth(cf.Width());
    StoreLogicalBounds();
    TDynRichEdit::UpdateLayout();
    BringToFront();
    if (HelpLinesVisible)
        for (QWidget* line : HelpLines)
            if (line)
                line->resize(line->width(), Height());
}

bool THeader::PaintsNow() const
{
    if (!SwitchedOn)
        return false;
    if (!PaintingForOutput || FirstPage)
        return true;
    const TDynDBForm* f = DBForm();
    return f && f->PageIndex > 0;
}

void THeader::PaintTo(TCanvas& canvas)
{
    if (PaintsNow())
        TDynRichEdit::PaintTo(canvas);
}

bool THeader::HitResizeEdge(int, int y)
{
    if (Resizing)
        return true;
    OnWidthEdge = false;
    OnHeightEdge = (Interaction & ibSizeHeight) && Height() - EdgeZoneY < y;
    return OnHeightEdge;
}

// ---- footer ----

TFooter::TFooter(TDynPanel* form, QWidget* container) : THeader(form, container)
{
    KindInfo = KindByCode(kcFooter);
    Name = QStringLiteral("Footer") + NumberText;
    BorderSides = TopSide;
    Docking = PreviousDocking = 0;
    FirstPage = true;
    Interaction = ibSizeHeight | ibReport;
    SwitchedOn = false;
}

bool TFooter::HitResizeEdge(int, int y)
{
    if (Resizing)
        return true;
    OnWidthEdge = false;
    OnHeightEdge = (Interaction & ibSizeHeight) && y >= 0 && y <= EdgeZoneY;
    return OnHeightEdge;
}

void TFooter::BeginDragSize(int, int, QPoint screen)
{
    // Qt's implicit grab keeps the mouse with the footer until the button is released.
    Resizing = true;
    StartHeight = Height();
    LastScreenX = screen.x();
    LastScreenY = screen.y();
    NewTop = wantedTop_ = Top();
    RubberWidth = Width();
    RubberHeight = Height();
    DrawRect.X1 = Left();
    DrawRect.Y1 = Top();
    DrawRect.X2 = Left() + Width();
    DrawRect.Y2 = Top() + Height();
    if (TBImage* s = SurfaceOf(Form)) {
        s->Canvas().Pen = TPen{clBlack, 1, psDashDotDot, TPenMode::pmCopy};
        s->SetRubberBand(QRect(DrawRect.X1, DrawRect.Y1, RubberWidth, RubberHeight));
    }
}

void TFooter::DragSizeTo(int, int, QPoint screen)
{
    if (!Resizing)
        return;
    const TRect cf = FrameOf(Form, Container);
    if (Interaction & ibSizeHeight)
        wantedTop_ += screen.y() - LastScreenY;
    // The footer keeps at least one pixel and never leaves the content frame.
    NewTop = std::clamp(wantedTop_, cf.Top, std::max(cf.Top, cf.Bottom - 1));
    RubberHeight = cf.Bottom - NewTop;
    DrawRect.X1 = Left();
    DrawRect.Y1 = NewTop;
    if (TBImage* s = SurfaceOf(Form))
        s->SetRubberBand(QRect(DrawRect.X1, NewTop, Width(), RubberHeight));
    LastScreenX = screen.x();
    LastScreenY = screen.y();
    if (Interaction & ibReport)
        if (auto* d = Designer())
            d->ReportPosition(Left(), NewTop, Width(), RubberHeight);
}

void TFooter::EndDragSize()
{
    if (TBImage* s = SurfaceOf(Form))
        s->SetRubberBand(std::nullopt);
    const TRect cf = FrameOf(Form, Container);
    SetTop(NewTop);
    SetHeight(std::max(1, cf.Bottom - Top()));
    HeightChanged = Height() != StartHeight;
    setCursor(SavedCursor);
    Resizing = false;
    if (Form)
        Form->UpdateLayout();
    UpdateLayout();
    if (auto* d = Designer()) {
        d->RefreshDesigner();
        if (Interaction & ibReport)
            d->ReportPosition(Left(), Top(), Width(), Height());
    }
}

// ---- records ----

namespace {
// Headers and footers are never created by the reader: the form's own header (footer) at the
// same position of its list is loaded, and the reader hands nothing back. Their record is the
// content-host record, closed.
TKindEntry HeaderKind(Int32 code)
{
    TKindEntry e;
    e.Code = code;
    e.Creation = TCreationRule::ExistingAtPosition;
    e.Adding = TAddRule::None;
    e.ReturnedByRead = false;
    e.Save = [code](TComponent* object) {
        THeader& h = KindObject<THeader>(object, code);
        h.SaveToStream();
        h.CloseRecord();
    };
    e.Load = [code](TComponent* object, const std::any&) { KindObject<THeader>(object, code).LoadFromStream(); };
    return e;
}

const TKindRegistrar HeaderRegistrar(HeaderKind(kcHeader));
const TKindRegistrar FooterRegistrar(HeaderKind(kcFooter));
} // namespace
