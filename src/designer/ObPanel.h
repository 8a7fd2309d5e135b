#pragma once
// TObPanel: one row of the property panel (one per entry of the property table), and
// TObStringGrid: the two-column grid of one sheet that lists the rows of the selected object.
#include "objects/PaList.h"
#include "platform/Types.h"
#include "shell/KindInfo.h"
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

class QDialog;
class QPainter;
class TDynPanel;
class TObComboBox;
class TObjectgenerator;

class TObPanel : public TPropertyRowBase {
public:
    // The row of table entry index on the given sheet (0..2) of the designer.
    TObPanel(TObjectgenerator* designer, int index, QWidget* sheet);
    // A freed row leaves the process-wide row list, so that objects created later never meet it.
    ~TObPanel() override;

    QPointer<TObComboBox> Editor; // the open drop-down of a D row while it is shown
    QString Caption;
    int Sheet = 0;
    int GridRow = 0;
    int Index = 0;
    TKindInfo OwnKind;            // "TObPanel" (2000)
    TKindInfo EditorKind;         // "Label" (11) for P and D rows, "Edit" (2) for E rows
    TRect CellRect;
    QString ShortCaption;
    QWidget* SheetControl = nullptr;
    TObjectgenerator* Designer = nullptr;
    int Top = 0;
    int CaptionWidth = 0;
    int Height = 0;

    const TPropertySet& Mask() const { return Ids; }
    QString RowName() const;
    bool IsEditRow() const { return EditorKind.Code == kcEdit; }
    bool IsDropDownRow() const;
    // Takes the designer's current metrics (after a font change).
    void UpdateMetrics(int totalWidth, int valueWidth, int lineHeight);
};

class TObStringGrid : public QWidget {
    Q_OBJECT
public:
    explicit TObStringGrid(QWidget* sheet);

    int ColCount() const { return 2; }
    int FixedCols = 1;
    int GridLineWidth = 1;
    int DefaultRowHeight = 16;
    int ColWidths[2] = {88, 94};
    // The grid lists rows; cells of an empty grid are not clickable.
    bool Filled = false;
    // The current cell.
    int Col = 1, Row = 0;

    int RowCount() const { return static_cast<int>(objects_.size()); }
    void SetRowCount(int count);
    int RowHeight(int row) const;
    void SetRowHeight(int row, int height);
    // Column 1's objects: the property row of each grid row (nil for row 0).
    TObPanel* Objects(int row) const;
    void SetObjects(int row, TObPanel* panel);
    // The cell's rectangle in the grid.
    QRect CellRect(int col, int row) const;
    // The cell under a point; false when there is none.
    bool MouseToCell(QPoint p, int& col, int& row) const;
    // The summed height of the grid rows 1.. with their lines.
    int RowsHeight() const;

    std::function<void(int col, int row)> OnSelectCell;
    std::function<void(QPainter& painter, int col, int row, const QRect& rect)> OnDrawCell;
    std::function<void(int key)> OnKeyDown;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::vector<TObPanel*> objects_{nullptr};
    std::vector<int> heights_{-1};
};

// The windows that other units contribute to the property rows. Each fills the modal window the
// row opens for the selected object; a row whose contribution is missing opens nothing.
struct TPropertyWindows {
    // Sorting (744 x 516): the sort panel, or the table sort panel when the object's data source
    // sorts a table.
    std::function<void(QDialog& window, TDynPanel* object)> SortPanel;
    // Filter (744 x 362).
    std::function<void(QDialog& window, TDynPanel* object)> FilterPanel;
    // Column (540 x 560): the column-fields panel of a report table.
    std::function<void(QDialog& window, TDynPanel* object)> ColumnFieldsPanel;
    // Text: the text editor, run in a maximised modal window; afterwards the object takes the
    // edited text. Runs the window itself (through TDialogs).
    std::function<void(TDynPanel* object)> TextEditor;
};
TPropertyWindows& PropertyWindows();
