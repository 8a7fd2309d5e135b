#include "designer/PickerImage.h"
#include <QMouseEvent>
#include <QPainter>

TPickerImage::TPickerImage(QWidget* parent) : QWidget(parent)
{
    setFixedSize(ImageWidth, ImageHeight);
    image_ = QImage(ImageWidth, ImageHeight, QImage::Format_RGB32);
    image_.fill(Qt::white);
}

void TPickerImage::Draw()
{
    image_.fill(Qt::white);
    {
        QPainter p(&image_);
        DrawCells(p);
    }
    update();
}

int TPickerImage::ColumnAt(int x)
{
    if (x < 36)
        return 0;
    if (x < 76)
        return 1;
    if (x < 110)
        return 2;
    return 3;
}

int TPickerImage::RowAt(int y)
{
    if (y < 36)
        return 0;
    if (y < 78)
        return 1;
    return 2;
}

QRect TPickerImage::CellRect(int row, int column)
{
    return QRect(4 + Pitch * column, 4 + Pitch * row, CellSize, CellSize);
}

QRect TPickerImage::SampleSquare(const QRect& cell)
{
    return QRect(cell.left(), cell.top(), cell.height(), cell.height());
}

QRect TPickerImage::DrawCellFrame(QPainter& p, const QRect& square, int inset)
{
    p.fillRect(square, Qt::black);
    const QRect inner = square.adjusted(inset, inset, -inset, -inset);
    p.fillRect(inner, Qt::white);
    return inner;
}

void TPickerImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, image_);
}

void TPickerImage::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    CellClicked(RowAt(pos.y()), ColumnAt(pos.x()), e->button());
    e->accept();
}
