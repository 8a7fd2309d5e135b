#pragma once
// TBrushStyleImage: the fill-style picker of the "Background" row. Row 0: "Invers" (toggles the
// inverted fill), solid, horizontal, vertical; row 1: forward diagonal, backward diagonal,
// cross, diagonal cross; row 2: clear, then three cells that change nothing.
#include "designer/PickerImage.h"

class TBrushStyleImage : public TPickerImage {
    Q_OBJECT
public:
    // The value of a cell: a brush style 0..7, InversCell, or NoChange.
    static constexpr int InversCell = -2;
    static constexpr int NoChange = -1;
    static int CellValue(int row, int column);

    explicit TBrushStyleImage(QWidget* parent = nullptr);

    void CellClicked(int row, int column, Qt::MouseButton button) override;

    // Fills a rectangle with a brush style: black hatching on white, white on black inverted.
    static void FillWithStyle(QPainter& p, const QRect& rect, int brushStyle, bool inverted);
    // The value-cell sample of the "Background" row: the object's brush style.
    static void PaintSample(QPainter& p, const QRect& cell, const TDynPanel& object);

protected:
    void DrawCells(QPainter& p) override;
};
