#include "platform/Canvas.h"
#include <QFontMetrics>

Qt::BrushStyle ToQtBrushStyle(int s)
{
    switch (s) {
    case bsSolid: return Qt::SolidPattern;
    case bsClear: return Qt::NoBrush;
    case bsHorizontal: return Qt::HorPattern;
    case bsVertical: return Qt::VerPattern;
    case bsFDiagonal: return Qt::BDiagPattern; // lower left to upper right
    case bsBDiagonal: return Qt::FDiagPattern;
    case bsCross: return Qt::CrossPattern;
    case bsDiagCross: return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

namespace {

Qt::PenStyle ToQtPen(TPenStyle s)
{
    switch (s) {
    case psSolid: return Qt::SolidLine;
    case psDash: return Qt::DashLine;
    case psDot: return Qt::DotLine;
    case psDashDot: return Qt::DashDotLine;
    case psDashDotDot: return Qt::DashDotDotLine;
    case psClear: return Qt::NoPen;
    case psInsideFrame: return Qt::SolidLine;
    }
    return Qt::SolidLine;
}
} // namespace

TCanvas::TCanvas(QPaintDevice* device, TCanvasKind kind) : device_(device), kind_(kind) {}

TCanvas::TCanvas(QPainter* external, TCanvasKind kind) : external_(external), kind_(kind) {}

TCanvas::~TCanvas()
{
    EndPaint();
}

QPaintDevice* TCanvas::Device() const
{
    return external_ ? external_->device() : device_;
}

void TCanvas::SetDevice(QPaintDevice* device)
{
    EndPaint();
    device_ = device;
}

QPainter& TCanvas::Painter()
{
    QPainter* p = external_;
    if (!p) {
        if (!own_) {
            own_ = std::make_unique<QPainter>();
            if (device_)
                own_->begin(device_);
        }
        p = own_.get();
    }
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setRenderHint(QPainter::TextAntialiasing, true);
    if (clipped_)
        p->setClipRect(clip_.ToQRect());
    else
        p->setClipping(false);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    return *p;
}

void TCanvas::EndPaint()
{
    if (own_) {
        if (own_->isActive())
            own_->end();
        own_.reset();
    }
}

void TCanvas::SetClipRect(const TRect& r)
{
    clipped_ = true;
    clip_ = r;
}

void TCanvas::ClearClip()
{
    clipped_ = false;
}

void TCanvas::ApplyPen(QPainter& p) const
{
    if (Pen.Style == psClear) {
        p.setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(Pen.Color));
    pen.setWidth(qMax(1, Pen.Width));
    pen.setStyle(ToQtPen(Pen.Style));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
}

void TCanvas::ApplyBrush(QPainter& p) const
{
    const Qt::BrushStyle style = ToQtBrushStyle(Brush.Style);
    p.setBrush(style == Qt::NoBrush ? QBrush(Qt::NoBrush) : QBrush(ToQColor(Brush.Color), style));
    if (style != Qt::SolidPattern && style != Qt::NoBrush) {
        p.setBackgroundMode(Qt::OpaqueMode);
        p.setBackground(ToQColor(BackgroundColor));
    } else {
        p.setBackgroundMode(Qt::TransparentMode);
    }
}

void TCanvas::ApplyCompositionForPen(QPainter& p) const
{
    // Raster operations exist only on raster devices; elsewhere the outline is drawn plainly.
    const bool raster = p.device() && p.device()->devType() == QInternal::Image;
    if (!raster)
        return;
    switch (Pen.Mode) {
    case TPenMode::pmCopy: break;
    case TPenMode::pmNotXor: p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination); break;
    case TPenMode::pmXor: p.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
    case TPenMode::pmNot: p.setCompositionMode(QPainter::RasterOp_NotDestination); break;
    }
}

void TCanvas::FillRect(const TRect& r)
{
    QPainter& p = Painter();
    if (Brush.Style == bsClear || r.IsEmpty())
        return;
    ApplyBrush(p);
    p.fillRect(r.ToQRect(), p.brush());
}

void TCanvas::Rectangle(const TRect& r)
{
    QPainter& p = Painter();
    ApplyPen(p);
    ApplyBrush(p);
    ApplyCompositionForPen(p);
    if (r.IsEmpty())
        return;
    // Outline and fill cover Left..Right-1 and Top..Bottom-1, as on the classic canvas.
    const int w = Pen.Style == psClear ? 0 : qMax(1, Pen.Width);
    if (Brush.Style != bsClear)
        p.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), p.brush());
    if (w > 0) {
        const qreal half = w / 2.0;
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(r.Left + half, r.Top + half, r.Width() - w, r.Height() - w));
    }
}

void TCanvas::Ellipse(const TRect& r)
{
    QPainter& p = Painter();
    ApplyPen(p);
    ApplyBrush(p);
    ApplyCompositionForPen(p);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int w = Pen.Style == psClear ? 0 : qMax(1, Pen.Width);
    const qreal half = w / 2.0;
    p.drawEllipse(QRectF(r.Left + half, r.Top + half, r.Width() - w, r.Height() - w));
}

void TCanvas::Arc(const TRect& r, TPoint start, TPoint end)
{
    QPainter& p = Painter();
    ApplyPen(p);
    ApplyCompositionForPen(p);
    p.setRenderHint(QPainter::Antialiasing, true);
    const int w = Pen.Style == psClear ? 0 : qMax(1, Pen.Width);
    const qreal half = w / 2.0;
    const QRectF box(r.Left + half, r.Top + half, r.Width() - w, r.Height() - w);
    if (start == end) {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(box);
        return;
    }
    const QPointF c = box.center();
    auto angle = [&](TPoint pt) { return std::atan2(c.y() - pt.Y, pt.X - c.x()) * 180.0 / M_PI; };
    double a0 = angle(start), a1 = angle(end);
    double span = a1 - a0;
    if (span <= 0)
        span += 360.0; // counter-clockwise from start to end
    p.drawArc(box, static_cast<int>(std::lround(a0 * 16)), static_cast<int>(std::lround(span * 16)));
}

void TCanvas::Polyline(const QList<QPoint>& points)
{
    QPainter& p = Painter();
    ApplyPen(p);
    ApplyCompositionForPen(p);
    p.drawPolyline(points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polygon(const QList<QPoint>& points)
{
    QPainter& p = Painter();
    ApplyPen(p);
    ApplyBrush(p);
    ApplyCompositionForPen(p);
    p.drawPolygon(points.data(), static_cast<int>(points.size()));
}

void TCanvas::LineTo(int x, int y)
{
    QPainter& p = Painter();
    ApplyPen(p);
    ApplyCompositionForPen(p);
    if (Pen.Width <= 1) {
        p.drawLine(PenPos.X, PenPos.Y, x, y);
    } else {
        QPen pen = p.pen();
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawLine(PenPos.X, PenPos.Y, x, y);
    }
    PenPos = {x, y};
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    QPainter& p = Painter();
    p.setFont(Font.ToQFont());
    const QFontMetrics fm(p.font(), p.device());
    if (Brush.Style != bsClear)
        p.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), ToQColor(Brush.Color));
    p.setPen(ToQColor(Font.Color));
    p.drawText(x, y + fm.ascent(), text);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const QString& text)
{
    QPainter& p = Painter();
    p.save();
    p.setClipRect(r.ToQRect(), clipped_ ? Qt::IntersectClip : Qt::ReplaceClip);
    p.setFont(Font.ToQFont());
    const QFontMetrics fm(p.font(), p.device());
    if (Brush.Style != bsClear)
        p.fillRect(r.ToQRect(), ToQColor(Brush.Color));
    p.setPen(ToQColor(Font.Color));
    p.drawText(x, y + fm.ascent(), text);
    p.restore();
}

int TCanvas::TextWidth(const QString& text)
{
    QPainter& p = Painter();
    return QFontMetrics(Font.ToQFont(), p.device()).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& text)
{
    QPainter& p = Painter();
    (void)text;
    return QFontMetrics(Font.ToQFont(), p.device()).height();
}

void TCanvas::Draw(int x, int y, const QImage& image)
{
    Painter().drawImage(x, y, image);
}

void TCanvas::StretchDraw(const TRect& r, const QImage& image)
{
    QPainter& p = Painter();
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.drawImage(r.ToQRect(), image);
}

void TCanvas::CopyRect(const TRect& dest, const QImage& source, const TRect& sourceRect)
{
    QPainter& p = Painter();
    const bool raster = p.device() && p.device()->devType() == QInternal::Image;
    if (raster) {
        switch (CopyMode) {
        case TCopyMode::cmSrcCopy: p.setCompositionMode(QPainter::CompositionMode_Source); break;
        case TCopyMode::cmSrcAnd: p.setCompositionMode(QPainter::RasterOp_SourceAndDestination); break;
        case TCopyMode::cmSrcPaint: p.setCompositionMode(QPainter::RasterOp_SourceOrDestination); break;
        case TCopyMode::cmSrcInvert: p.setCompositionMode(QPainter::RasterOp_SourceXorDestination); break;
        }
    }
    p.drawImage(dest.ToQRect(), source, sourceRect.ToQRect());
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QColor TCanvas::Pixel(int x, int y)
{
    auto* image = dynamic_cast<QImage*>(Device());
    if (!image || !image->rect().contains(x, y))
        return {};
    EndPaint();
    return image->pixelColor(x, y);
}
