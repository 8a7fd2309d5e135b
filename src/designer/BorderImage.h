#pragma once
// TBorderImage: the border-sides picker of the "Borderstyle" row. The twelve cells give the
// border codes 0..11 (row x 4 + column); each shows a rectangle with the sides of its code.
#include "designer/PickerImage.h"

class TBorderImage : public TPickerImage {
    Q_OBJECT
public:
    static int CellValue(int row, int column) { return row * Columns + column; }

    explicit TBorderImage(QWidget* parent = nullptr);

    void CellClicked(int row, int column, Qt::MouseButton button) override;

    // The value-cell sample of the "Borderstyle" row: the object's border-sides code.
    static void PaintSample(QPainter& p, const QRect& cell, const TDynPanel& object);
    // A rectangle inside a square with the sides of a border code drawn thick.
    static void PaintSides(QPainter& p, const QRect& square, int code);

protected:
    void DrawCells(QPainter& p) override;
};
