#include "designer/BorderImage.h"
#include "objects/BorderSides.h"
#include "objects/DYNPanel.h"
#include "shell/Variable.h"
#include <QPainter>

TBorderImage::TBorderImage(QWidget* parent) : TPickerImage(parent)
{
    Draw();
}

void TBorderImage::PaintSides(QPainter& p, const QRect& square, int code)
{
    const QRect inner = DrawCellFrame(p, square, 1);
    const int m = qMax(2, inner.width() / 5);
    const QRect r = inner.adjusted(m, m, -m, -m);
    const int t = qMax(1, inner.width() / 12); // a side that carries the border
    // The outline of the object, thin and grey; the sides of the code thick and black.
    p.setPen(Qt::lightGray);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    if (SideHasBorder(code, sLeft))
        p.fillRect(QRect(r.left(), r.top(), t, r.height()), Qt::black);
    if (SideHasBorder(code, sTop))
        p.fillRect(QRect(r.left(), r.top(), r.width(), t), Qt::black);
    if (SideHasBorder(code, sRight))
        p.fillRect(QRect(r.right() + 1 - t, r.top(), t, r.height()), Qt::black);
    if (SideHasBorder(code, sBottom))
        p.fillRect(QRect(r.left(), r.bottom() + 1 - t, r.width(), t), Qt::black);
}

void TBorderImage::PaintSample(QPainter& p, const QRect& cell, const TDynPanel& object)
{
    PaintSides(p, SampleSquare(cell), object.BorderSides);
}

void TBorderImage::DrawCells(QPainter& p)
{
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column)
            PaintSides(p, CellRect(row, column), CellValue(row, column));
}

void TBorderImage::CellClicked(int row, int column, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || !SelectedObject)
        return;
    SelectedObject->SetBorderSides(static_cast<Int16>(CellValue(row, column)));
    Modified = true;
}
