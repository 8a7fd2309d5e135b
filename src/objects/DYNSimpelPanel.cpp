#include "objects/DYNSimpelPanel.h"
#include "designer/BImage.h"
#include "objects/DesignerLink.h"
#include "shell/Variable.h"
#include <QMouseEvent>

TDYNSimpelPanel::TDYNSimpelPanel(TComponent* owner, QWidget* parent) : TSimpelPanel(owner, parent)
{
    Container = parent;
    static Int32 lastIdentity = 0;
    IdentityNumber = ++lastIdentity;
    hide();
    PendingKind = NoPendingKind;
    ContentFrame = std::make_unique<TRahmenRect>(this);
    OuterFrame = std::make_unique<TRahmenRect>(this);
    BorderFrame = std::make_unique<TRahmenRect>(this);
    Background = new TBImage(this);
    BorderWidth = 2;
    BorderPixels = RoundHalfEven(2 * ZoomFactor);
    PreviousBorderPixels = 2;
    BorderSides = 4;
    VAlign = HAlign = 0;
    EdgeZoneX = EdgeZoneY = 4;
    Interaction = ibAll;
    SetLocked(false);
    PreferredWidth = Width();
    PreferredHeight = Height();
    LogicalFontSize = RoundHalfEven(Font().Size() / ZoomFactor);
    ReportPosition = true;
    setMouseTracking(true);
}

TDYNSimpelPanel::~TDYNSimpelPanel()
{
    PropertyRows.Clear();
}

Int32 TDYNSimpelPanel::ToLogical(int pixels)
{
    return RoundHalfEven(pixels / ZoomFactor);
}

int TDYNSimpelPanel::ToPixels(Int32 logical)
{
    return RoundHalfEven(logical * ZoomFactor);
}

bool TDYNSimpelPanel::HitResizeEdge(int x, int y)
{
    if (Resizing)
        return true;
    if (!(Interaction & (ibSizeWidth | ibSizeHeight)))
        return false;
    OnWidthEdge = OnHeightEdge = false;
    const int w = Width(), h = Height(), e = EdgeZoneX;
    if (x < w - e - 4 && y > h - e) {
        OnHeightEdge = Interaction & ibSizeHeight;
    } else if (x >= w - e && y < h - e - 4) {
        OnWidthEdge = Interaction & ibSizeWidth;
    } else if (x >= w - e - 4 && y >= h - e - 4) {
        OnWidthEdge = Interaction & ibSizeWidth;
        OnHeightEdge = Interaction & ibSizeHeight;
    }
    return OnWidthEdge || OnHeightEdge;
}

void TDYNSimpelPanel::UpdateHoverCursor(int x, int y)
{
    if (HitResizeEdge(x, y)) {
        if (OnWidthEdge && OnHeightEdge)
            setCursor(Qt::SizeFDiagCursor);
        else if (OnWidthEdge)
            setCursor(Qt::SizeHorCursor);
        else
            setCursor(Qt::SizeVerCursor);
    } else {
        setCursor(Qt::ArrowCursor);
    }
}

void TDYNSimpelPanel::BeginMove(int x, int y)
{
    DragStartX = x;
    DragStartY = y;
    StartTop = Top();
    StartLeft = Left();
    Centered = false;
    Moving = true;
    Moved = false;
}

void TDYNSimpelPanel::MoveTo(int x, int y)
{
    if (!Moved && (x != DragStartX || y != DragStartY)) {
        if (auto* d = Designer())
            d->HideHandles();
        Moved = true;
    }
    int left = Left(), top = Top();
    if (Interaction & ibMoveX)
        left = x + left - DragStartX;
    if (Interaction & ibMoveY)
        top = y + top - DragStartY;
    move(left, top);
}

void TDYNSimpelPanel::EndMove()
{
    LeftChanged = Left() != StartLeft;
    TopChanged = Top() != StartTop;
    const bool changed = LeftChanged || TopChanged;
    if (!IsDesignerObject()) {
        const int g = GridStep;
        if (g > 0 && changed && (Interaction & ibSnap) && SnapToGrid) {
            int top = Top(), left = Left();
            if (Interaction & ibMoveY)
                top = ((top + BorderPixels) / g) * g;
            if (Interaction & ibMoveX)
                left = ((left + BorderPixels) / g) * g;
            move(left, top);
        }
    }
    Moving = false;
    if (changed) {
        StoreLogicalBounds();
        if (auto* d = Designer())
            d->RefreshDesigner();
    }
    if (changed && PropertySet.any())
        if (auto* d = Designer())
            d->ShowHandles(this);
}

void TDYNSimpelPanel::BeginResize(int x, int y)
{
    Resizing = true;
    DragStartX = x;
    DragStartY = y;
    StartWidth = Width();
    StartHeight = Height();
}

void TDYNSimpelPanel::ResizeTo(int x, int y)
{
    int w = Width(), h = Height();
    if (OnWidthEdge)
        w = StartWidth + x - DragStartX;
    if (OnHeightEdge)
        h = StartHeight + y - DragStartY;
    resize(qMax(1, w), qMax(1, h));
}

void TDYNSimpelPanel::EndResize()
{
    setCursor(SavedCursor);
    UpdateLayout();
    WidthChanged = Width() != StartWidth;
    HeightChanged = Height() != StartHeight;
    if (WidthChanged || HeightChanged) {
        if (auto* d = Designer())
            d->RefreshDesigner();
        StoreLogicalBounds();
    }
    Resizing = false;
}

void TDYNSimpelPanel::ApplyScale(double factor)
{
    SetBounds(RoundHalfEven(pleft * factor), RoundHalfEven(ptop * factor), RoundHalfEven(pwidth * factor),
              RoundHalfEven(pheight * factor));
    ContentFrame->Scale(factor);
    OuterFrame->Scale(factor);
    BorderFrame->Scale(factor);
    BorderPixels = PreviousBorderPixels = RoundHalfEven(BorderWidth * factor);
    MarginLeftPixels = RoundHalfEven(MarginLeft * factor);
    MarginTopPixels = RoundHalfEven(MarginTop * factor);
    MarginRightPixels = RoundHalfEven(MarginRight * factor);
    MarginBottomPixels = RoundHalfEven(MarginBottom * factor);
}

void TDYNSimpelPanel::ShiftTop(Int32 delta)
{
    ptop += delta;
    SetTop(ToPixels(ptop));
}

void TDYNSimpelPanel::ShiftLeft(Int32 delta)
{
    pleft += delta;
    SetLeft(ToPixels(pleft));
}

void TDYNSimpelPanel::StoreLogicalBounds()
{
    if (KeepLogicalValues)
        return;
    if (Moving) {
        pleft = ToLogical(Left());
        ptop = ToLogical(Top());
    }
    if (Resizing) {
        pwidth = ToLogical(Width());
        pheight = ToLogical(Height());
    }
    if (Moving || Resizing)
        return;
    pleft = ToLogical(Left());
    ptop = ToLogical(Top());
    pwidth = ToLogical(Width());
    pheight = ToLogical(Height());
    BorderFrame->StoreLogical();
    auto logicalOf = [](int pixels) { return pixels > 0 ? qMax(1, ToLogical(pixels)) : -1; };
    if (int v = logicalOf(BorderPixels); v > 0)
        BorderWidth = v;
    if (int v = logicalOf(MarginLeftPixels); v > 0)
        MarginLeft = v;
    if (int v = logicalOf(MarginTopPixels); v > 0)
        MarginTop = v;
    if (int v = logicalOf(MarginRightPixels); v > 0)
        MarginRight = v;
    if (int v = logicalOf(MarginBottomPixels); v > 0)
        MarginBottom = v;
}

void TDYNSimpelPanel::UpdateFrameRects()
{
    OuterFrame->SetBounds(0, 0, Width(), Height());
    BorderFrame->SetBounds(0, 0, Width(), Height());
}

void TDYNSimpelPanel::Setptop(Int32 value)
{
    if (value < 1 || Locked())
        return;
    ptop = value;
    SetTop(ToPixels(value));
    UpdateLayout();
}

void TDYNSimpelPanel::Setpleft(Int32 value)
{
    if (value < 1 || Locked())
        return;
    pleft = value;
    SetLeft(ToPixels(value));
    UpdateLayout();
}

void TDYNSimpelPanel::Setpwidth(Int32 value)
{
    if (value < 1 || Locked())
        return;
    pwidth = value;
    SetWidth(ToPixels(value));
    UpdateLayout();
}

void TDYNSimpelPanel::Setpheight(Int32 value)
{
    if (value < 1 || Locked())
        return;
    pheight = value;
    SetHeight(ToPixels(value));
    UpdateLayout();
}

void TDYNSimpelPanel::SetpLock(bool value)
{
    SetLocked(value);
}

bool TDYNSimpelPanel::TakeChangedFlags()
{
    const bool any = HeightChanged || WidthChanged || TopChanged || LeftChanged;
    HeightChanged = WidthChanged = TopChanged = LeftChanged = false;
    return any;
}

void TDYNSimpelPanel::CollectPropertyRows()
{
    PropertyRows.Clear();
    const auto& rows = GlobalPropertyRows();
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (IsSubset((*it)->Ids, PropertySet))
            PropertyRows.Add(*it);
}

// ---- mouse ----

void TDYNSimpelPanel::MouseDownLeft(int x, int y, QPoint)
{
    if (Locked())
        return;
    if (HitResizeEdge(x, y))
        BeginResize(x, y);
    else
        BeginMove(x, y);
}

void TDYNSimpelPanel::MouseMoved(int x, int y, QPoint, Qt::MouseButtons)
{
    if (Locked())
        return;
    if (Resizing)
        ResizeTo(x, y);
    else if (Moving)
        MoveTo(x, y);
    else
        UpdateHoverCursor(x, y);
}

void TDYNSimpelPanel::MouseUpLeft(int, int, QPoint)
{
    if (Moving)
        EndMove();
    else if (Resizing)
        EndResize();
}

void TDYNSimpelPanel::MouseDownRight(int, int, QPoint) {}

void TDYNSimpelPanel::mousePressEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const QPoint g = e->globalPosition().toPoint();
    if (e->button() == Qt::LeftButton)
        MouseDownLeft(p.x(), p.y(), g);
    else if (e->button() == Qt::RightButton)
        MouseDownRight(p.x(), p.y(), g);
    e->accept();
}

void TDYNSimpelPanel::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    MouseMoved(p.x(), p.y(), e->globalPosition().toPoint(), e->buttons());
    e->accept();
}

void TDYNSimpelPanel::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton) {
        const QPoint p = e->position().toPoint();
        MouseUpLeft(p.x(), p.y(), e->globalPosition().toPoint());
    }
    e->accept();
}

void TDYNSimpelPanel::enterEvent(QEnterEvent* e)
{
    if (!Locked()) {
        const QPoint p = e->position().toPoint();
        HitResizeEdge(p.x(), p.y());
        SavedCursor = cursor();
    }
    TSimpelPanel::enterEvent(e);
}

void TDYNSimpelPanel::leaveEvent(QEvent* e)
{
    if (!Locked() && !Resizing)
        setCursor(SavedCursor);
    TSimpelPanel::leaveEvent(e);
}

void TDYNSimpelPanel::resizeEvent(QResizeEvent* e)
{
    TSimpelPanel::resizeEvent(e);
}
