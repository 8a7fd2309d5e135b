#pragma once
// TCanvas: painting onto an object's surface image, a preview page or the printer, with
// the pen, brush, font and copy-mode state the painting code sets before each operation.
#include "platform/Color.h"
#include "platform/Font.h"
#include "platform/Types.h"
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <memory>

// Brush styles in the class library's numbering.
enum TBrushStyle : int { bsSolid = 0, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
// Pen styles in the class library's numbering.
enum TPenStyle : int { psSolid = 0, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// The Qt pattern of a brush style in the class library's numbering.
Qt::BrushStyle ToQtBrushStyle(int style);

enum class TPenMode { pmCopy, pmNotXor, pmXor, pmNot };
enum class TCopyMode { cmSrcCopy, cmSrcAnd, cmSrcPaint, cmSrcInvert };
enum class TCanvasKind { Surface, Page, Printer };

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    TPenMode Mode = TPenMode::pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

class TCanvas {
public:
    // A canvas on a paint device; the painter opens on first use and closes with EndPaint.
    TCanvas(QPaintDevice* device, TCanvasKind kind);
    // A canvas on a painter someone else keeps open (the printer's document).
    TCanvas(QPainter* external, TCanvasKind kind);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TCanvasKind Kind() const { return kind_; }
    bool IsPrinter() const { return kind_ == TCanvasKind::Printer; }
    QPaintDevice* Device() const;
    void SetDevice(QPaintDevice* device); // ends the running paint first

    TPen Pen;
    TBrush Brush;
    TFont Font;
    TCopyMode CopyMode = TCopyMode::cmSrcCopy;
    TColor BackgroundColor = clWhite; // the background behind hatch lines
    TPoint PenPos;

    void SetClipRect(const TRect& r);
    void ClearClip();
    bool HasClip() const { return clipped_; }
    TRect ClipRect() const { return clip_; }

    void FillRect(const TRect& r);
    void Rectangle(const TRect& r);
    void Rectangle(int l, int t, int r, int b) { Rectangle(TRect(l, t, r, b)); }
    void Ellipse(const TRect& r);
    void Arc(const TRect& r, TPoint start, TPoint end);
    void Polyline(const QList<QPoint>& points);
    void Polygon(const QList<QPoint>& points);
    void MoveTo(int x, int y) { PenPos = {x, y}; }
    void LineTo(int x, int y);
    void TextOut(int x, int y, const QString& text);
    void TextRect(const TRect& r, int x, int y, const QString& text);
    int TextWidth(const QString& text);
    int TextHeight(const QString& text);
    void Draw(int x, int y, const QImage& image);
    void StretchDraw(const TRect& r, const QImage& image);
    // Copies a rectangle of another image into this canvas with the current copy mode.
    void CopyRect(const TRect& dest, const QImage& source, const TRect& sourceRect);
    QColor Pixel(int x, int y);

    // The painter with the pen, brush and font of the canvas applied.
    QPainter& Painter();
    void EndPaint();

private:
    void ApplyPen(QPainter& p) const;
    void ApplyBrush(QPainter& p) const;
    void ApplyCompositionForPen(QPainter& p) const;
    QPaintDevice* device_ = nullptr;
    QPainter* external_ = nullptr;
    std::unique_ptr<QPainter> own_;
    TCanvasKind kind_;
    bool clipped_ = false;
    TRect clip_;
};
