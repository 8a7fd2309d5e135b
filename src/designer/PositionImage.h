#pragma once
// TPositionImage: the docking picker of the "Position" row. Row 0: top, bottom, right, left
// (values 0, 1, 3, 2); row 1 and anything below it: full height, full width, fill, not docked
// (values 4..7). Each cell shows a bar at the matching edge, across the middle, or a fill.
#include "designer/PickerImage.h"

class TPositionImage : public TPickerImage {
    Q_OBJECT
public:
    static constexpr int NotDocked = 7;
    // The docking value of a cell.
    static int CellValue(int row, int column);

    explicit TPositionImage(QWidget* parent = nullptr);

    // A left click docks the selected object; any click lays it out again.
    void CellClicked(int row, int column, Qt::MouseButton button) override;

    // The value-cell sample of the "Position" row: a bar for the object's docking value.
    static void PaintSample(QPainter& p, const QRect& cell, const TDynPanel& object);
    // The sample of a docking value inside a square.
    static void PaintDocking(QPainter& p, const QRect& square, int docking);

protected:
    void DrawCells(QPainter& p) override;
};
