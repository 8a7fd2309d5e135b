// The graphic shapes: creation, painting onto the container's surface and onto pages, the hit
// test, the handle drags the container runs, the property operations and the record.
#include "content/DynGraphik.h"
#include "designer/BImage.h"
#include "objects/DesignerLink.h"
#include "objects/KindRegistry.h"
#include "objects/ObjectList.h"
#include "platform/MemoryStream.h"
#include "shell/Texts.h"
#include "shell/Variable.h"
#include <QPointer>
#include <algorithm>
#include <cmath>

namespace {
// The property sets of the four shapes; the empty object has none.
TPropertySet LineSet() { return MakePropertySet({3, 4, 30, 33, 75, 100, 102, 103}); }
TPropertySet RectangleSet() { return MakePropertySet({3, 4, 5, 6, 30, 33, 71, 74, 75, 100}); }
TPropertySet CircleSet() { return MakePropertySet({3, 4, 30, 33, 71, 74, 75, 100, 101}); }
TPropertySet EllipseSet() { return MakePropertySet({3, 4, 5, 6, 30, 33, 74, 100}); }

// Grab distances of the hit test, in pixels.
constexpr double EndPointReach = 20;
constexpr int RectangleMargin = 10;
constexpr double CircleEdgeReach = 10;

constexpr double DegreesPerRadian = 180.0 / M_PI;

QPointer<TDynGraphik> Dragged;

// A line starts at the box's left-top corner; its end is the opposite corner turned by the
// direction.
void TurnByDirection(Int32 direction, int x1, int y1, int& x2, int& y2)
{
    switch (direction) {
    case ldUpRight: y2 = 2 * y1 - y2; break;
    case ldUpLeft:
        x2 = 2 * x1 - x2;
        y2 = 2 * y1 - y2;
        break;
    case ldDownLeft: x2 = 2 * x1 - x2; break;
    default: break;
    }
}

// Distance of p from the segment a-b (not the infinite line: beyond its ends the distance to
// the nearer end).
double SegmentDistance(TPoint p, TPoint a, TPoint b)
{
    const double dx = b.X - a.X, dy = b.Y - a.Y;
    const double len2 = dx * dx + dy * dy;
    if (len2 == 0)
        return PointDistance(p, a);
    const double t = ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / len2;
    if (t <= 0)
        return PointDistance(p, a);
    if (t >= 1)
        return PointDistance(p, b);
    return PointLineDistance(p, a, b);
}

double FiniteOrZero(double v)
{
    return std::isfinite(v) ? v : 0.0;
}

TPenStyle PenStyleOf(Int32 lineType)
{
    return lineType >= psSolid && lineType <= psDashDotDot ? static_cast<TPenStyle>(lineType) : psSolid;
}

// Leaves the canvas's pen, brush and background colour as they were found.
class CanvasStateScope {
public:
    explicit CanvasStateScope(TCanvas& c)
        : c_(c), pen_(c.Pen), brush_(c.Brush), background_(c.BackgroundColor), clipped_(c.HasClip()),
          clip_(c.ClipRect())
    {
    }
    ~CanvasStateScope()
    {
        c_.Pen = pen_;
        c_.Brush = brush_;
        c_.BackgroundColor = background_;
        if (clipped_)
            c_.SetClipRect(clip_);
        else
            c_.ClearClip();
    }
    CanvasStateScope(const CanvasStateScope&) = delete;
    CanvasStateScope& operator=(const CanvasStateScope&) = delete;

private:
    TCanvas& c_;
    TPen pen_;
    TBrush brush_;
    TColor background_;
    bool clipped_;
    TRect clip_;
};
} // namespace

// ---- creation ----

TDynGraphik::TDynGraphik(TComponent* owner, QWidget* parent, Int32 shape) : TDynRichEdit(owner, parent)
{
    KindInfo = KindByCode(kcGraphik);
    SetHint(QString());
    hide();
    Shape = shape >= gsNone && shape <= gsEllipse ? shape : gsNone;
    ApplyShapeKind(false);
    if (Shape == gsNone)
        return;
    const TPoint first(DrawRect.X1, DrawRect.Y1), second(DrawRect.X2, DrawRect.Y2);
    if (Shape == gsLine)
        Direction = Quadrant(first, second);
    SetBounds(first.X, first.Y, std::abs(second.X - first.X), std::abs(second.Y - first.Y));
    LineType = psSolid;
    BrushStyle = bsClear;
    LineWidth = 1;
    LineWidthPixels = RoundHalfEven(ZoomFactor * 1);
    BackColor = clBlack;
    StoreLogicalBounds();
    CollectPropertyRows();
    UpdateLayout();
}

void TDynGraphik::ApplyShapeKind(bool loading)
{
    QString word;
    switch (Shape) {
    case gsLine:
        PropertySet = LineSet();
        word = Texts(loading ? 141 : 145);
        break;
    case gsRectangle:
        PropertySet = RectangleSet();
        word = Texts(142);
        break;
    case gsCircle:
        PropertySet = CircleSet();
        word = loading ? Texts(143) : QStringLiteral("Circle");
        break;
    case gsEllipse:
        PropertySet = EllipseSet();
        word = Texts(144);
        break;
    default:
        PropertySet.reset();
        word = KindInfo.Name;
        break;
    }
    Name = word + NumberText;
    Children->ListName = Name + Texts(130);
}

TDynGraphik* TDynGraphik::DraggedShape()
{
    return Dragged.data();
}

// ---- layout and painting ----

void TDynGraphik::PaintOnContainer()
{
    if (TDynPanel* c = ContainerObject())
        c->Repaint();
    if (TCanvas* surface = SurfaceCanvas()) {
        PaintTo(*surface);
        if (auto* c = dynamic_cast<TDYNSimpelPanel*>(Container); c && c->Background)
            c->Background->Present();
    }
}

void TDynGraphik::UpdateLayout()
{
    if (Loading)
        return;
    RecalcFrames();
    PaintOnContainer();
    hide();
}

void TDynGraphik::Repaint()
{
    // A shape's picture is part of its container's surface.
    PaintOnContainer();
}

void TDynGraphik::SurfaceGeometry(TPoint& start, TPoint& end) const
{
    const int x1 = Left(), y1 = Top();
    int x2 = x1 + Width(), y2 = y1 + Height();
    if (Shape == gsLine)
        TurnByDirection(Direction, x1, y1, x2, y2);
    start = TPoint(x1, y1);
    end = TPoint(x2, y2);
}

void TDynGraphik::PaintTo(TCanvas& canvas)
{
    PaintBody(canvas); // the paint geometry; a shape paints itself

    // The derived values always describe the shape on its container's surface, whatever the
    // canvas: the hit tests and the designer work there.
    SurfaceGeometry(StartPoint, EndPoint);
    Angle = LineAngle(StartPoint, EndPoint);
    Length = PointDistance(StartPoint, EndPoint);
    Radius = RoundHalfEven(Length * 0.25 * std::sqrt(2.0));

    TRect r;
    int penWidth;
    if (PaintingForOutput) {
        r = CanvasBorder;
        penWidth = RoundHalfEven(LineWidth * ScaleX);
    } else {
        r = BoundsRect();
        penWidth = LineWidthPixels;
    }
    CanvasStateScope state(canvas);
    ClipToContainer(canvas);
    DrawShape(canvas, r, penWidth);
}

void TDynGraphik::DrawShape(TCanvas& c, TRect r, int penWidth)
{
    c.Pen.Mode = TPenMode::pmCopy;
    c.Pen.Width = penWidth;
    c.Pen.Style = PenStyleOf(LineType);
    if (Shape == gsLine) {
        int x2 = r.Right, y2 = r.Bottom;
        TurnByDirection(Direction, r.Left, r.Top, x2, y2);
        c.Pen.Color = BackColor;
        c.MoveTo(r.Left, r.Top);
        c.LineTo(x2, y2);
        return;
    }
    if (Shape != gsRectangle && Shape != gsCircle && Shape != gsEllipse)
        return;
    c.Pen.Color = OutlineColor;
    c.Brush.Style = static_cast<TBrushStyle>(BrushStyle);
    const TPoint corner(r.Left, r.Top);
    if (BrushStyle == bsClear) {
        if (Shape == gsRectangle)
            c.Polyline({QPoint(r.Left, r.Top), QPoint(r.Right, r.Top), QPoint(r.Right, r.Bottom),
                        QPoint(r.Left, r.Bottom), QPoint(r.Left, r.Top)});
        else
            c.Arc(r, corner, corner);
        return;
    }
    c.Brush.Color = Hatched ? OutlineColor : BackColor;
    c.BackgroundColor = Hatched ? BackColor : OutlineColor;
    if (Shape == gsRectangle)
        c.Rectangle(r);
    else if (Shape == gsCircle)
        c.Ellipse(r);
    else
        c.Arc(r, corner, corner); // an ellipse shows its outline only
}

void TDynGraphik::Activate()
{
    SelectedObject = this;
    hide();
}

void TDynGraphik::ApplyZoom(double factor)
{
    ApplyScale(factor);
    LineWidthPixels = RoundHalfEven(LineWidth * ZoomFactor);
    hide();
}

void TDynGraphik::StoreLogicalBounds()
{
    TDynRichEdit::StoreLogicalBounds();
    if (KeepLogicalValues || !(ZoomFactor > 0))
        return;
    // The logical width follows the pixels only when they no longer show it: a width of 1 at
    // 50 % has 0 pixels and stays 1.
    if (ToPixels(LineWidth) != LineWidthPixels)
        LineWidth = ToLogical(LineWidthPixels);
}

// ---- appearance and position ----

void TDynGraphik::SetColor(TColor color)
{
    if (color == NoColorChange)
        return;
    PreviousColor = BackColor;
    BackColor = color;
    BrushStyle = bsSolid;
    Hatched = false;
    hide();
    UpdateLayout();
}

void TDynGraphik::SetBorderColor(TColor color)
{
    if (color == NoColorChange)
        return;
    PreviousBorderColor = BorderColor;
    OutlineColor = color;
    BorderColor = color;
    BorderFrame->Color = color;
    hide();
    UpdateLayout();
}

void TDynGraphik::Setpleft(Int32 value)
{
    if (Locked() || value <= 0)
        return;
    // A circle is placed by its centre.
    pleft = Shape == gsCircle ? value - pheight / 2 : value;
    SetLeft(ToPixels(pleft));
    UpdateLayout();
}

void TDynGraphik::Setptop(Int32 value)
{
    if (Locked() || value <= 0)
        return;
    ptop = Shape == gsCircle ? value - pwidth / 2 : value;
    SetTop(ToPixels(ptop));
    UpdateLayout();
}

// ---- property rows ----

void TDynGraphik::SetLineWidth(Int32 value)
{
    if (value < 0 || value > MaxLineWidth)
        return;
    LineWidth = value;
    LineWidthPixels = RoundHalfEven(value * ZoomFactor);
    PaintOnContainer();
}

void TDynGraphik::SetLineType(Int32 value)
{
    if (value < psSolid || value > psDashDotDot)
        return;
    LineType = value;
    PaintOnContainer();
}

void TDynGraphik::SetLength(double value)
{
    // A vertical line has no width and takes a length all the same.
    if (Shape != gsLine || Locked() || !(value > 0) || value > MaxExtent)
        return;
    const double a = FiniteOrZero(Angle) / DegreesPerRadian;
    pheight = std::abs(RoundHalfEven(value * std::sin(a)));
    pwidth = std::abs(RoundHalfEven(value * std::cos(a)));
    SetBounds(Left(), Top(), ToPixels(pwidth), ToPixels(pheight));
    UpdateLayout();
}

void TDynGraphik::SetAngle(double value)
{
    if (Shape != gsLine || Locked() || !(value >= 0) || !std::isfinite(value))
        return;
    value = std::fmod(value, 360.0);
    const double a = value / DegreesPerRadian;
    const double length = std::min(FiniteOrZero(Length), MaxExtent);
    Angle = value;
    Direction = AngleQuadrant(a);
    // The box holds the extents; the direction says where the end lies.
    const int h = std::abs(RoundHalfEven(std::sin(a) * length));
    const int w = std::abs(RoundHalfEven(std::cos(a) * length));
    pheight = ToLogical(h);
    pwidth = ToLogical(w);
    SetBounds(Left(), Top(), w, h);
    UpdateLayout();
}

void TDynGraphik::SetRadius(double value)
{
    if (Shape != gsCircle || Locked() || !(value > 0) || value > MaxExtent)
        return;
    const double shift = (FiniteOrZero(Radius) - value * ZoomFactor) * 0.5;
    ptop = RoundHalfEven(shift + ptop);
    pleft = RoundHalfEven(shift + pleft);
    pwidth = RoundHalfEven(value * 2);
    pheight = pwidth;
    const int size = ToPixels(pwidth);
    SetBounds(ToPixels(pleft), ToPixels(ptop), size, size);
    Radius = value * ZoomFactor;
    UpdateLayout();
}

// ---- hit test ----

Int32 TDynGraphik::HitTest(int x, int y) const
{
    const TPoint p(x, y);
    const int left = Left(), top = Top(), right = left + Width(), bottom = top + Height();
    switch (Shape) {
    case gsLine: {
        TPoint start, end;
        SurfaceGeometry(start, end);
        const double toEnd = PointDistance(p, end);
        if (toEnd < LineWidthPixels || toEnd < EndPointReach)
            return shEndPoint;
        // On the body of the line: the line is moved as a whole.
        const double reach = std::max(4.0, LineWidthPixels / 2.0 + 3.0);
        return SegmentDistance(p, start, end) <= reach ? shWhole : shNone;
    }
    case gsRectangle:
        if (x > left + RectangleMargin && x < right - RectangleMargin && y > top + RectangleMargin
            && y < bottom - RectangleMargin)
            return shWhole;
        if (y > top && y < bottom && std::abs(right - x) < RectangleMargin)
            return shWidth;
        if (x > left && x < right && std::abs(bottom - y) <= RectangleMargin - 1)
            return shHeight;
        return shNone;
    case gsCircle: {
        const int r = Width() / 2;
        const double d = PointDistance(p, TPoint(left + Width() / 2, top + Height() / 2));
        if (std::abs(d - r) < CircleEdgeReach)
            return shRadius;
        return d < r ? shWhole : shNone;
    }
    default:
        return shNone; // an ellipse is never grabbed
    }
}

TDynGraphik* TDynGraphik::FindAt(const TObjectList& children, int x, int y, Int32& handleCode)
{
    handleCode = shNone;
    for (int i = 0; i < children.Count(); ++i) {
        TDynPanel* p = children.Panel(i);
        if (!p || p->KindInfo.Code != kcGraphik)
            continue;
        auto* shape = dynamic_cast<TDynGraphik*>(p);
        if (!shape)
            continue;
        if (const Int32 code = shape->HitTest(x, y); code != shNone) {
            handleCode = code;
            return shape;
        }
    }
    return nullptr;
}

// ---- handle drags ----

void TDynGraphik::BeginHandleDrag(Int32 handleCode)
{
    TPoint first, second;
    if (Shape == gsLine) {
        SurfaceGeometry(first, second);
    } else {
        first = TPoint(Left(), Top());
        second = TPoint(Left() + Width(), Top() + Height());
    }
    DrawRect.X1 = first.X;
    DrawRect.Y1 = first.Y;
    DrawRect.X2 = second.X;
    DrawRect.Y2 = second.Y;
    const TDrawRect n = NormalizeRect(DrawRect);
    DrawRect.Left = n.Left;
    DrawRect.Top = n.Top;
    DrawRect.Right = n.Right;
    DrawRect.Bottom = n.Bottom;
    DragValues = TShapeDragValues{};
    DragValues.Handle = handleCode;
    Dragged = this;
}

void TDynGraphik::MoveHandle(Int32 handleCode, int dx, int dy)
{
    TDrawRect& d = DrawRect;
    switch (handleCode) {
    case shEndPoint:
        d.X2 += dx;
        d.Y2 += dy;
        break;
    case shWhole:
        d.X1 += dx;
        d.Y1 += dy;
        d.X2 += dx;
        d.Y2 += dy;
        break;
    case shWidth: d.X2 += dx; break;
    case shHeight: d.Y2 += dy; break;
    case shRadius:
        d.X2 += dx;
        d.Y2 = d.Y1 + std::abs(d.X2 - d.X1);
        break;
    default: return;
    }
    const TDrawRect n = NormalizeRect(d);
    d.Left = n.Left;
    d.Top = n.Top;
    d.Right = n.Right;
    d.Bottom = n.Bottom;

    const TPoint first(d.X1, d.Y1), second(d.X2, d.Y2);
    DragValues.Handle = handleCode;
    switch (handleCode) {
    case shEndPoint:
        DragValues.Length = PointDistance(first, second);
        DragValues.Angle = LineAngle(first, second);
        break;
    case shWhole:
        if (Shape == gsCircle) {
            DragValues.X = n.Left + (n.Right - n.Left) / 2;
            DragValues.Y = n.Top + (n.Bottom - n.Top) / 2;
        } else {
            DragValues.X = d.X1;
            DragValues.Y = d.Y1;
        }
        break;
    case shWidth: DragValues.Width = std::abs(d.X2 - d.X1); break;
    case shHeight: DragValues.Height = std::abs(d.Y2 - d.Y1); break;
    case shRadius: DragValues.Radius = std::abs(d.X2 - d.X1) / 2; break;
    default: break;
    }
    if (auto* designer = Designer())
        designer->RefreshDesigner();
}

void TDynGraphik::DraggedBox(TRect& box, Int32& direction) const
{
    if (Shape == gsLine) {
        // The box starts at the start point and holds the extents; the direction says where the
        // end lies.
        const TPoint s(DrawRect.X1, DrawRect.Y1), e(DrawRect.X2, DrawRect.Y2);
        direction = Quadrant(s, e);
        box = TRect::FromBounds(s.X, s.Y, std::abs(e.X - s.X), std::abs(e.Y - s.Y));
        return;
    }
    direction = Direction;
    const TDrawRect n = NormalizeRect(DrawRect);
    box = TRect(n.Left, n.Top, n.Right, n.Bottom);
}

bool TDynGraphik::EndHandleDrag(Int32)
{
    TRect box;
    Int32 direction = Direction;
    DraggedBox(box, direction);
    if (Dragged == this)
        Dragged = nullptr;
    DragValues.Handle = shNone;
    const bool changed = !Locked() && (box != BoundsRect() || direction != Direction);
    if (changed) {
        Direction = direction;
        SetBounds(box.Left, box.Top, box.Width(), box.Height());
        StoreLogicalBounds();
        UpdateLayout();
        if (auto* d = Designer())
            d->RefreshDesigner();
    }
    Select();
    return changed;
}

// ---- record ----

void TDynGraphik::SaveToStream()
{
    TDynRichEdit::SaveToStream();
    WriteFieldValue(Shape);        // 1
    WriteFieldValue(LineWidth);    // 2
    WriteFieldValue(LineType);     // 3
    WriteFieldValue(Direction);    // 4
    WriteFieldValue(OutlineColor); // 5
    WriteFieldValue(Radius);       // 6
    WriteFieldValue(Angle);        // 7
    WriteFieldValue(Length);       // 8
    CloseRecord();
}

void TDynGraphik::LoadFromStream()
{
    TDynRichEdit::LoadFromStream();
    // Everything is read before anything changes.
    Int32 shape = Shape, lineWidth = LineWidth, lineType = LineType, direction = Direction;
    TColor outline = OutlineColor;
    double radius = Radius, angle = Angle, length = Length;
    TNullPanel::ReadFieldValue(shape);
    TNullPanel::ReadFieldValue(lineWidth);
    TNullPanel::ReadFieldValue(lineType);
    TNullPanel::ReadFieldValue(direction);
    TNullPanel::ReadFieldValue(outline);
    TNullPanel::ReadFieldValue(radius);
    TNullPanel::ReadFieldValue(angle);
    TNullPanel::ReadFieldValue(length);
    if (shape < gsNone || shape > gsEllipse)
        throw EStreamError("graphic '" + Name.toStdString() + "' has the unknown shape " + std::to_string(shape));
    if (lineWidth < 0 || lineWidth > MaxLineWidth)
        throw EStreamError("graphic '" + Name.toStdString() + "' has the line width " + std::to_string(lineWidth)
                           + ", outside 0 to " + std::to_string(MaxLineWidth));
    Shape = shape;
    LineWidth = lineWidth;
    LineType = lineType;
    Direction = direction;
    OutlineColor = outline;
    Radius = FiniteOrZero(radius);
    Angle = FiniteOrZero(angle);
    Length = FiniteOrZero(length);

    ApplyShapeKind(true);
    ApplyZoom(ZoomFactor);
    StoreLogicalBounds();
    CollectPropertyRows();
    UpdateLayout();
}

namespace {
// A shape is always created new; its record is closed by its own save.
const TKindRegistrar GraphikKind(PanelKind<TDynGraphik>(
    kcGraphik, [](TDynGraphik& o) { o.SaveToStream(); }, [](TDynGraphik& o) { o.LoadFromStream(); },
    TCreationRule::AlwaysNew));
} // namespace
