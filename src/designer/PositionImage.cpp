#include "designer/PositionImage.h"
#include "objects/DYNPanel.h"
#include "shell/Variable.h"
#include <QPainter>

namespace {
// The bar of a picker cell.
constexpr int BarWidth = 8;
// The sample of a value cell is framed by this width; its middle bars are twice as wide.
constexpr int SampleBorder = 2;
} // namespace

int TPositionImage::CellValue(int row, int column)
{
    static constexpr int topRow[4] = {0, 1, 3, 2};
    column = qBound(0, column, Columns - 1);
    return row <= 0 ? topRow[column] : 4 + column;
}

TPositionImage::TPositionImage(QWidget* parent) : TPickerImage(parent)
{
    Draw();
}

void TPositionImage::DrawCells(QPainter& p)
{
    for (int row = 0; row < Rows; ++row)
        for (int column = 0; column < Columns; ++column) {
            if (row == 2)
                continue; // row 1 stands for everything below it
            const QRect inner = DrawCellFrame(p, CellRect(row, column), 1);
            const int value = CellValue(row, column);
            const int cx = inner.left() + (inner.width() - BarWidth) / 2;
            const int cy = inner.top() + (inner.height() - BarWidth) / 2;
            switch (value) {
            case 0: p.fillRect(QRect(inner.left(), inner.top(), inner.width(), BarWidth), Qt::black); break;
            case 1: p.fillRect(QRect(inner.left(), inner.bottom() + 1 - BarWidth, inner.width(), BarWidth), Qt::black); break;
            case 2: p.fillRect(QRect(inner.left(), inner.top(), BarWidth, inner.height()), Qt::black); break;
            case 3: p.fillRect(QRect(inner.right() + 1 - BarWidth, inner.top(), BarWidth, inner.height()), Qt::black); break;
            case 4: p.fillRect(QRect(cx, inner.top(), BarWidth, inner.height()), Qt::black); break;
            case 5: p.fillRect(QRect(inner.left(), cy, inner.width(), BarWidth), Qt::black); break;
            case 6: {
                const QRect fill = inner.adjusted(3, 3, -3, -3);
                p.fillRect(fill, Qt::gray);
                p.setPen(Qt::black);
                p.drawRect(fill.adjusted(0, 0, -1, -1));
                break;
            }
            default: {
                // Not docked: a free object in the middle.
                const QRect free(inner.left() + 8, inner.top() + 8, inner.width() - 16, inner.height() - 16);
                p.setPen(Qt::black);
                p.drawRect(free.adjusted(0, 0, -1, -1));
                break;
            }
            }
        }
}

void TPositionImage::PaintDocking(QPainter& p, const QRect& square, int docking)
{
    const QRect inner = DrawCellFrame(p, square, 1);
    const int w = inner.width(), h = inner.height();
    const int l = inner.left(), t = inner.top();
    switch (docking) {
    case 0: p.fillRect(QRect(l, t, w, h / 3), Qt::black); break;
    case 1: p.fillRect(QRect(l, t + h - h / 3, w, h / 3), Qt::black); break;
    case 2: p.fillRect(QRect(l, t, w / 3, h), Qt::black); break;
    case 3: p.fillRect(QRect(l + w - w / 3, t, w / 3, h), Qt::black); break;
    case 4: p.fillRect(QRect(l + w / 3, t, 2 * SampleBorder, h), Qt::black); break;
    case 5: p.fillRect(QRect(l, t + h / 3, w, 2 * SampleBorder), Qt::black); break;
    case 6: p.fillRect(inner, Qt::gray); break;
    default: break;
    }
}

void TPositionImage::PaintSample(QPainter& p, const QRect& cell, const TDynPanel& object)
{
    PaintDocking(p, SampleSquare(cell), object.Docking);
}

void TPositionImage::CellClicked(int row, int column, Qt::MouseButton button)
{
    TDynPanel* object = SelectedObject;
    if (!object)
        return;
    if (button == Qt::LeftButton) {
        object->Docking = CellValue(row, column);
        Modified = true;
    }
    object->UpdateLayout();
}
