#include "designer/BrushStyleImage.h"
#include "objects/DYNPanel.h"
#include "platform/Canvas.h"
#include "shell/Variable.h"
#include <QPainter>

namespace {
// Fill-style cells show their sample inside a black border of this width.
constexpr int CellBorder = 2;

QFont CellFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(9);
    return f;
}
} // namespace

int TBrushStyleImage::CellValue(int row, int column)
{
    static constexpr int values[3][4] = {
        {InversCell, bsSolid, bsHorizontal, bsVertical},
        {bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross},
        {bsClear, NoChange, NoChange, NoChange},
    };
    if (row < 0 || row >= Rows || column < 0 || column >= Columns)
        return NoChange;
    return values[row][column];
}

TBrushStyleImage::TBrushStyleImage(QWidget* parent) : TPickerImage(parent)
{
    Draw();
}

void TBrushStyleImage::FillWithStyle(QPainter& p, const QRect& rect, int brushStyle, bool inverted)
{
    const QColor ink = inverted ? Qt::white : Qt::black;
    const QColor paper = inverted ? Qt::black : Qt::white;
    p.fillRect(rect, paper);
    const Qt::BrushStyle pattern = ToQtBrushStyle(brushStyle);
    if (pattern != Qt::NoBrush)
        p.fillRect(rect, QBrush(ink, pattern));
}

void TBrushStyleImage::PaintSample(QPainter& p, const QRect& cell, const TDynPanel& object)
{
    const QRect inner = DrawCellFrame(p, SampleSquare(cell), 1);
    FillWithStyle(p, inner, object.BrushStyle, object.Hatched);
}

void TBrushStyleImage::DrawCells(QPainter& p)
{
    p.setFont(CellFont());
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column) {
            const int value = CellValue(row, column);
            if (value == NoChange)
                continue;
            const QRect cell = CellRect(row, column);
            const QRect inner = DrawCellFrame(p, cell, CellBorder);
            if (value == InversCell) {
                p.setPen(Qt::black);
                p.drawText(cell.left() + 1, cell.top() + 10 + p.fontMetrics().ascent(), Texts(109));
            } else if (value == bsClear) {
                p.setPen(Qt::black);
                p.drawText(inner, Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral(" Clear"));
            } else {
                FillWithStyle(p, inner, value, false);
            }
        }
}

void TBrushStyleImage::CellClicked(int row, int column, Qt::MouseButton button)
{
    if (button != Qt::LeftButton || !SelectedObject)
        return;
    const int value = CellValue(row, column);
    if (value == NoChange)
        return;
    TDynPanel* object = SelectedObject;
    if (value == InversCell)
        object->SetFillStyle(object->BrushStyle, !object->Hatched);
    else
        object->SetFillStyle(value, false);
    Modified = true;
}
