#include "objects/DYNPanel.h"
#include "designer/BImage.h"
#include "objects/BilderListe.h"
#include "objects/BorderSides.h"
#include "objects/Borderdraw.h"
#include "objects/DesignerLink.h"
#include "objects/DynDBForm.h"
#include "objects/ProjectContext.h"
#include "platform/Screen.h"
#include "shell/Variable.h"
#include <QFileInfo>
#include <QFontMetrics>

namespace {
TDynPanel* AsObject(QWidget* w) { return dynamic_cast<TDynPanel*>(w); }
} // namespace

TDynPanel::TDynPanel(TComponent* owner, QWidget* parent) : TDYNSimpelPanel(owner, parent)
{
    Content = nullptr;
    Host = CurrentForm;
    int w = std::abs(DrawRect.X2 - DrawRect.X1);
    int h = std::abs(DrawRect.Y2 - DrawRect.Y1);
    if (w < 10)
        w = 40;
    if (h < 10)
        h = 40;
    SetBounds(DrawRect.X1, DrawRect.Y1, w, h);
    UpdateFrameRects();
    ContentFrame->SetRect(InsetBySides(BorderSides, BorderFrame->PixelRect(), BorderPixels));
    BackColor = clWhite;
    BorderColor = clBlack;
    BorderFrame->Color = BorderColor;
    BorderWidth = 2;
    BorderSides = 4;
    Docking = PreviousDocking = 7;
    TPanel::SetColor(clNone);
    SetHint(Name);
    StoreLogicalBounds();
}

TDynPanel::~TDynPanel()
{
    if (DataSource && DataField)
        UnlinkFromSource();
    if (SelectedObject == this)
        SelectedObject = nullptr;
    if (PreviousObject == this)
        PreviousObject = nullptr;
    if (CurrentParent == this)
        CurrentParent = nullptr;
    if (CurrentList == Children.get())
        CurrentList = nullptr;
    if (auto* d = Designer())
        d->ObjectDestroyed(this);
    if (Picture)
        ReleasePicture();
}

TDynPanel* TDynPanel::ContainerObject() const
{
    return AsObject(Container);
}

bool TDynPanel::IsOwnSurface(const TCanvas& canvas) const
{
    return Background && &canvas == &Background->Canvas();
}

// ---- layout ----

TRect TDynPanel::InsetBySides(int code, TRect r, int width) const
{
    if (MarginTopPixels > 0)
        r.Top += MarginTopPixels;
    if (MarginBottomPixels > 0)
        r.Bottom -= MarginBottomPixels;
    if (MarginLeftPixels > 0)
        r.Left += MarginLeftPixels;
    if (MarginRightPixels > 0)
        r.Right -= MarginRightPixels;
    if (SideHasBorder(code, sLeft))
        r.Left += width;
    if (SideHasBorder(code, sTop))
        r.Top += width;
    if (SideHasBorder(code, sRight))
        r.Right -= width;
    if (SideHasBorder(code, sBottom))
        r.Bottom -= width;
    return r;
}

void TDynPanel::RecalcFrames()
{
    if (GrowWithBorder) {
        const int d = BorderPixels - PreviousBorderPixels;
        if (d != 0) {
            int l = Left(), t = Top(), w = Width(), h = Height();
            if (SideHasBorder(BorderSides, sLeft)) {
                l -= d;
                w += d;
            }
            if (SideHasBorder(BorderSides, sRight))
                w += d;
            if (SideHasBorder(BorderSides, sTop)) {
                t -= d;
                h += d;
            }
            if (SideHasBorder(BorderSides, sBottom))
                h += d;
            SetBounds(l, t, w, h);
        }
    }
    StoreLogicalBounds();
    UpdateFrameRects();
    ContentFrame->SetRect(InsetBySides(BorderSides, BorderFrame->PixelRect(), BorderPixels));
    OuterFrame->SetBounds(Left(), Top(), Width(), Height());
    PreviousBorderPixels = BorderPixels;
}

void TDynPanel::ResetFrames()
{
    BorderFrame->SetLogicalRect(TRect(0, 0, pwidth, pheight));
    ContentFrame->SetLogicalRect(InsetBySides(BorderSides, TRect(0, 0, pwidth, pheight), BorderWidth));
    OuterFrame->SetLogicalRect(TRect(pleft, ptop, pleft + pwidth, ptop + pheight));
}

void TDynPanel::UpdateLayout()
{
    if (Loading)
        return;
    RecalcFrames();
    PlaceContent();
    AlignAndPaint();
}

void TDynPanel::PlaceContent()
{
    if (Centered && Container) {
        SetLeft((Container->width() - Width()) / 2);
        pleft = ToLogical(Left());
    }
    if (!Content)
        return;
    const TRect cf = ContentFrame->PixelRect();
    const bool fills = Content->geometry() == Content->parentWidget()->rect();
    if (!fills) {
        int l, t;
        if (HAlign == 0)
            l = cf.Left + 1;
        else if (HAlign == 2)
            l = cf.Right - Content->width() - 3;
        else
            l = cf.Left + (cf.Width() - Content->width()) / 2;
        if (VAlign == 0)
            t = cf.Top;
        else if (VAlign == 2)
            t = cf.Bottom - Content->height();
        else
            t = cf.Top + (cf.Height() - Content->height()) / 2;
        Content->move(l, t);
    }
    ContentLeft = ToLogical(Content->x());
    ContentTop = ToLogical(Content->y());
    PreferredWidth = Content->width() + 2 * BorderPixels;
    PreferredHeight = Content->height() + 2 * BorderPixels;
}

std::optional<TRect> TDynPanel::DockedBounds() const
{
    const TDynPanel* c = ContainerObject();
    if (!c)
        return std::nullopt;
    const TRect cf = c->ContentFrame->PixelRect();
    TRect b = BoundsRect();
    const int w = Width(), h = Height();
    switch (Docking) {
    case 0: b = TRect::FromBounds(cf.Left, cf.Top, cf.Width(), h); break;
    case 1: b = TRect::FromBounds(cf.Left, cf.Bottom - h, cf.Width(), h); break;
    case 2: b = TRect::FromBounds(cf.Left, cf.Top, w, cf.Height()); break;
    case 3: b = TRect::FromBounds(cf.Right - w, cf.Top, w, cf.Height()); break;
    case 4: b = TRect::FromBounds(Left(), cf.Top, w, cf.Height()); break;
    case 5: b = TRect::FromBounds(cf.Left, Top(), cf.Width(), h); break;
    case 6: b = cf; break;
    default: break;
    }
    return b;
}

void TDynPanel::AlignAndPaint()
{
    if (Loading)
        return;
    if (!ContainerIsHost() && PropertySet.test(PositionRowBit) && Docking >= 0) {
        if (const auto b = DockedBounds(); b && *b != BoundsRect()) {
            SetBounds(b->Left, b->Top, b->Width(), b->Height());
            RecalcFrames();
            PlaceContent();
            if (auto* d = Designer())
                d->ShowHandles(this);
        }
    }
    if (Transparent && KindInfo.Code != kcReport)
        PaintTo(Background->Canvas());
    else
        Repaint();
    if (Docking != PreviousDocking)
        if (auto* d = Designer())
            d->RefreshDesigner();
    PreviousDocking = Docking;
}

void TDynPanel::CenterHorizontally()
{
    if (Container)
        SetLeft((Container->width() - Width()) / 2);
    pleft = ToLogical(Left());
    if (Interaction & ibReport)
        if (auto* d = Designer())
            d->ReportPosition(Left(), Top(), Width(), Height());
    Centered = true;
    if (auto* d = Designer())
        d->RefreshDesigner();
}

void TDynPanel::SetContentAlignment(Int32 vertical, Int32 horizontal)
{
    VAlign = vertical == -1 ? VAlign : vertical;
    HAlign = horizontal == -1 ? HAlign : horizontal;
    if (!Loading)
        UpdateLayout();
}

void TDynPanel::SetFillStyle(int brushStyle, bool hatched)
{
    BrushStyle = static_cast<quint8>(brushStyle);
    Hatched = hatched;
    UpdateLayout();
}

void TDynPanel::SetColor(TColor color)
{
    if (color == NoColorChange)
        return;
    PreviousColor = BackColor;
    BackColor = color;
    if (Content)
        SetContentColor(color);
    if (!Loading)
        UpdateLayout();
}

void TDynPanel::SetBorderColor(TColor color)
{
    if (color == NoColorChange)
        return;
    PreviousBorderColor = BorderColor;
    BorderColor = color;
    BorderFrame->Color = color;
    UpdateLayout();
}

void TDynPanel::SetBorderPixels(Int32 width)
{
    PreviousBorderPixels = BorderPixels;
    BorderPixels = width;
    UpdateLayout();
}

void TDynPanel::SetBorderWidth(Int32 width)
{
    if (width < 0)
        return;
    BorderWidth = width;
    BorderPixels = ToPixels(width);
    UpdateLayout();
}

void TDynPanel::ToggleDoubleBorder()
{
    DoubleBorder = !DoubleBorder;
    UpdateLayout();
}

void TDynPanel::SetBorderSides(Int16 code)
{
    BorderSides = code;
    UpdateLayout();
}

void TDynPanel::ToggleVisible()
{
    SetVisible(!Visible());
    StoredVisible = Visible();
}

void TDynPanel::SetObjectFont(const TFont& font)
{
    TFont f = Font();
    CopyFontScaled(f, font);
    SetFont(f);
    LogicalFontSize = font.Size();
}

void TDynPanel::SetTitleFont(const TFont& font)
{
    TitleFont = font;
    TitleFont.SetSize(RoundHalfEven(font.Size() * ZoomFactor));
    TitleFontSize = font.Size();
}

void TDynPanel::SetTransparent(bool value)
{
    Transparent = value;
    PaintTo(Background->Canvas());
}

void TDynPanel::SaveObject()
{
    if (auto* d = Designer())
        d->SaveObject(this, false);
}

void TDynPanel::SaveObjectAs()
{
    if (auto* d = Designer())
        d->SaveObject(this, true);
}

void TDynPanel::InsertIntoCurrentList()
{
    if (CurrentList) {
        CurrentList->Add(this);
        OwnerList = CurrentList;
    }
    SetTop(10);
    SetLeft(10);
    UpdateLayout();
    if (KindInfo.Code != kcGraphik && KindInfo.Code != kcRowColPanel)
        show();
}

void TDynPanel::MakeMinimal()
{
    if (!Content)
        return;
    SetBounds(Left(), Top(), PreferredWidth, PreferredHeight);
    VAlign = HAlign = 0;
    UpdateLayout();
    if (auto* d = Designer())
        d->RefreshDesigner();
}

void TDynPanel::UpdateChildren(TDynPanel* container)
{
    if (!container)
        return;
    for (int i = 0; i < container->Children->Count(); ++i) {
        TDynPanel* child = container->Children->Panel(i);
        if (!child || !child->KindInfo.IsVisual)
            continue;
        child->UpdateLayout();
        if (child->KindInfo.Code != kcProject && child->KindInfo.Code != kcNone)
            UpdateChildren(child);
    }
}

void TDynPanel::ShowChildren(TDynPanel* container, bool visible)
{
    if (!container)
        return;
    for (int i = 0; i < container->Children->Count(); ++i) {
        TDynPanel* child = container->Children->Panel(i);
        if (!child)
            continue;
        ShowChildren(child, visible);
        const Int32 code = child->KindInfo.Code;
        if (!child->KindInfo.IsVisual) {
            child->hide();
        } else if (code == kcHeader || code == kcFooter) {
            if (container->HasHeaderFooterOn(code)) {
                child->show();
                child->BringToFront();
            }
        } else {
            // An object the user hid stays hidden when its container is shown.
            child->SetVisible(visible && child->StoredVisible);
        }
    }
}

void TDynPanel::ShowUnlessHidden()
{
    if (KindInfo.Code != kcGraphik && KindInfo.Code != kcRowColPanel)
        SetVisible(true);
}

void TDynPanel::SnapshotFlags()
{
    StoredVisible = Visible();
    pLock = Locked();
}

// ---- selection ----

void TDynPanel::SelectOnClick()
{
    if (SelectedObject != this)
        Select();
}

void TDynPanel::Select()
{
    if (SelectedObject == this || Loading)
        return;
    TakeSelection();
    Activate();
    if (auto* d = Designer())
        d->ShowPropertyRows(this);
}

void TDynPanel::TakeSelection()
{
    TDynPanel* p = SelectedObject;
    if (p == this)
        return;
    auto* d = Designer();
    if (p && p->PropertySet != PropertySet) {
        if (d)
            d->HidePropertyPage();
        const Int32 code = KindInfo.Code;
        const Int32 hostCode = Host ? Host->KindInfo.Code : 0;
        const bool inGrid = hostCode == kcGrid || hostCode == kcSTTabelle || hostCode == kcDBGrid || hostCode == kcReport;
        if (code != kcProject && !IsDesignerObject() && !inGrid) {
            CurrentParent = ContainerObject();
            if (OwnerList)
                CurrentList = OwnerList;
        }
        if (p->KindInfo.Code == kcDBForm && code != kcProject && d)
            d->SetFormMoving(false);
    }
    if (d)
        d->EnableObjectMenu(KindInfo.CanCopy);
    PreviousObject = p;
    SelectedObject = this;
    if (ShowHandles && d)
        d->ShowHandles(this);
}

// ---- mouse ----

void TDynPanel::MouseDownLeft(int x, int y, QPoint screen)
{
    if (!Locked()) {
        if (HitResizeEdge(x, y))
            BeginDragSize(x, y, screen);
        else if (Docking == 4 || Docking == 5 || Docking == 7)
            BeginDragMove(x, y);
    }
    SelectOnClick();
}

void TDynPanel::MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons)
{
    if (Locked() || SelectedObject != this)
        return;
    if (Resizing)
        DragSizeTo(x, y, screen);
    else if (Moving)
        DragMoveTo(x, y);
    else
        UpdateHoverCursor(x, y);
}

void TDynPanel::MouseUpLeft(int, int, QPoint)
{
    if (Moving)
        EndDragMove();
    else if (Resizing)
        EndDragSize();
    Moving = Resizing = false;
}

void TDynPanel::MouseDownRight(int, int, QPoint screen)
{
    if (AllLocked || KindInfo.Code == kcDBGrid)
        return;
    SelectOnClick();
    if (auto* d = Designer())
        d->PopupContextMenu(screen);
}

void TDynPanel::BeginDragMove(int x, int y)
{
    BeginMove(x, y);
    if (KindInfo.Code == kcDBForm)
        if (auto* d = Designer())
            d->SetFormMoving(true);
}

void TDynPanel::DragMoveTo(int x, int y)
{
    MoveTo(x, y);
    if (Interaction & ibReport)
        if (auto* d = Designer())
            d->ReportPosition(Left(), Top(), Width(), Height());
}

void TDynPanel::EndDragMove()
{
    EndMove();
    if (Moving)
        AlignAndPaint();
    if (auto* d = Designer()) {
        d->SetFormMoving(false);
        if (Interaction & ibReport)
            d->ReportPosition(Left(), Top(), Width(), Height());
    }
    if (Transparent)
        UpdateLayout();
    Moving = false;
}

namespace {
TBImage* SurfaceOf(QWidget* w)
{
    auto* p = dynamic_cast<TDYNSimpelPanel*>(w);
    return p ? p->Background : nullptr;
}
} // namespace

void TDynPanel::BeginDragSize(int, int, QPoint screen)
{
    Resizing = true;
    StartLeft = Left();
    StartTop = Top();
    StartWidth = Width();
    StartHeight = Height();
    LastScreenX = screen.x();
    LastScreenY = screen.y();
    RubberWidth = Width();
    RubberHeight = Height();
    DrawRect.Left = Left();
    DrawRect.Top = Top();
    DrawRect.Right = Left() + Width();
    DrawRect.Bottom = Top() + Height();
    if (TBImage* s = SurfaceOf(Container))
        s->SetRubberBand(QRect(DrawRect.Left, DrawRect.Top, RubberWidth, RubberHeight));
}

void TDynPanel::DragSizeTo(int, int, QPoint screen)
{
    if (OnWidthEdge && (Interaction & ibSizeWidth))
        RubberWidth += screen.x() - LastScreenX;
    if (OnHeightEdge && (Interaction & ibSizeHeight))
        RubberHeight += screen.y() - LastScreenY;
    DrawRect.Right = DrawRect.Left + RubberWidth;
    DrawRect.Bottom = DrawRect.Top + RubberHeight;
    if (TBImage* s = SurfaceOf(Container))
        s->SetRubberBand(QRect(DrawRect.Left, DrawRect.Top, RubberWidth, RubberHeight));
    LastScreenX = screen.x();
    LastScreenY = screen.y();
    if (Interaction & ibReport)
        if (auto* d = Designer())
            d->ReportPosition(Left(), Top(), RubberWidth, RubberHeight);
}

void TDynPanel::EndDragSize()
{
    if (TBImage* s = SurfaceOf(Container))
        s->SetRubberBand(std::nullopt);
    if (Container) {
        RubberWidth = std::min(RubberWidth, Container->width());
        RubberHeight = std::min(RubberHeight, Container->height());
    }
    RubberWidth = std::max(RubberWidth, 1);
    RubberHeight = std::max(RubberHeight, 1);
    int w = RubberWidth, h = RubberHeight;
    WidthChanged = w != StartWidth;
    HeightChanged = h != StartHeight;
    if (!IsDesignerObject()) {
        const int g = GridStep;
        if (g > 0 && (WidthChanged || HeightChanged) && (Interaction & ibSnap) && SnapToGrid) {
            if (Interaction & ibSizeWidth)
                w = std::max(g, w / g * g);
            if (Interaction & ibSizeHeight)
                h = std::max(g, h / g * g);
        }
    }
    resize(w, h);
    if (Docking != 0)
        AlignAndPaint();
    setCursor(SavedCursor);
    Resizing = false;
    if (KeepAspect)
        SetHeight(2 * BorderPixels + RoundHalfEven((Width() - 2 * BorderPixels) * AspectRatio));
    if (Width() != StartWidth || Height() != StartHeight) {
        if (TDynPanel* c = ContainerObject())
            c->Repaint();
        UpdateLayout();
        if (auto* d = Designer()) {
            d->RefreshDesigner();
            if (Interaction & ibReport)
                d->ReportPosition(Left(), Top(), Width(), Height());
        }
    }
}
