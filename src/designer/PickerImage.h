#pragma once
// TPickerImage: what the three picture pickers of the property panel share. Each is an image
// of 150 x 106 pixels (not stretched) with sample cells of 32 x 32 pixels on a 36-pixel pitch:
// columns at x = 4, 40, 76, 112 and rows at y = 4, 40, 76. A click is mapped to a cell by
// fixed thresholds and applies that cell's value to the selected object at once.
#include <QImage>
#include <QRect>
#include <QWidget>

class QPainter;
class TDynPanel;

class TPickerImage : public QWidget {
    Q_OBJECT
public:
    static constexpr int ImageWidth = 150;
    static constexpr int ImageHeight = 106;
    static constexpr int CellSize = 32;
    static constexpr int Pitch = 36;
    static constexpr int Columns = 4;
    static constexpr int Rows = 3;

    explicit TPickerImage(QWidget* parent = nullptr);

    const QImage& Image() const { return image_; }
    // Paints every sample cell into the image.
    void Draw();

    // Column 0..3 of a click at x: x < 36, x < 76, x < 110, else.
    static int ColumnAt(int x);
    // Row 0..2 of a click at y: y < 36, y < 78, else.
    static int RowAt(int y);
    // The square of a cell: 32 x 32 pixels at (4 + 36 col, 4 + 36 row).
    static QRect CellRect(int row, int column);

    // What a click on a cell does to the selected object.
    virtual void CellClicked(int row, int column, Qt::MouseButton button) = 0;

    // The sample square of a property-grid value cell: as high as the cell, at its left.
    static QRect SampleSquare(const QRect& cell);
    // A black square with a white inner area inset by `inset` pixels; returns the inner area.
    static QRect DrawCellFrame(QPainter& p, const QRect& square, int inset);

protected:
    virtual void DrawCells(QPainter& p) = 0;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QImage image_;
};
