#include "designer/ObPanel.h"
#include "designer/ObComboBox.h"
#include "designer/Objectgenerator.h"
#include "designer/PropertyTable.h"
#include "shell/Texts.h"
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

// ---- TObPanel ----

TObPanel::TObPanel(TObjectgenerator* designer, int index, QWidget* sheet)
    : Index(index), SheetControl(sheet), Designer(designer)
{
    const TPropertyTableEntry& e = PropertyTable().at(static_cast<size_t>(index));
    Sheet = e.SheetIndex();
    Caption = Texts(e.CaptionText());
    ShortCaption = Caption.left(30);
    OwnKind = KindByCode(kcObPanel);
    EditorKind = KindByCode(e.EditorType() == 'E' ? kcEdit : kcLabel);
    Ids = MakePropertySet({e.Bit});
    if (designer)
        UpdateMetrics(designer->TotalWidth, designer->ValueWidth, designer->LineHeight);
}

TObPanel::~TObPanel()
{
    auto& rows = GlobalPropertyRows();
    rows.erase(std::remove(rows.begin(), rows.end(), static_cast<TPropertyRowBase*>(this)), rows.end());
    if (Editor) {
        Editor->Row = nullptr;
        Editor->deleteLater();
    }
}

QString TObPanel::RowName() const
{
    return QString::fromLatin1(PropertyTable().at(static_cast<size_t>(Index)).RowName);
}

bool TObPanel::IsDropDownRow() const
{
    return PropertyTable().at(static_cast<size_t>(Index)).EditorType() == 'D';
}

void TObPanel::UpdateMetrics(int totalWidth, int valueWidth, int lineHeight)
{
    Height = lineHeight - 2;
    CaptionWidth = totalWidth - valueWidth - 2;
    CellRect = TRect::FromBounds(CaptionWidth + 1, Top + 1, valueWidth - 1, lineHeight - 1);
}

// ---- TObStringGrid ----

TObStringGrid::TObStringGrid(QWidget* sheet) : QWidget(sheet)
{
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(false);
}

void TObStringGrid::SetRowCount(int count)
{
    count = std::max(1, count);
    objects_.resize(static_cast<size_t>(count), nullptr);
    heights_.resize(static_cast<size_t>(count), -1);
    if (Row >= count)
        Row = 0;
    update();
}

int TObStringGrid::RowHeight(int row) const
{
    if (row < 0 || row >= RowCount())
        return 0;
    const int h = heights_[static_cast<size_t>(row)];
    return h < 0 ? DefaultRowHeight : h;
}

void TObStringGrid::SetRowHeight(int row, int height)
{
    if (row >= 0 && row < RowCount())
        heights_[static_cast<size_t>(row)] = std::max(0, height);
}

TObPanel* TObStringGrid::Objects(int row) const
{
    return row >= 0 && row < RowCount() ? objects_[static_cast<size_t>(row)] : nullptr;
}

void TObStringGrid::SetObjects(int row, TObPanel* panel)
{
    if (row >= 0 && row < RowCount())
        objects_[static_cast<size_t>(row)] = panel;
}

QRect TObStringGrid::CellRect(int col, int row) const
{
    if (col < 0 || col > 1 || row < 0 || row >= RowCount())
        return {};
    int y = 0;
    for (int i = 0; i < row; ++i)
        y += RowHeight(i) + GridLineWidth;
    const int x = col == 0 ? 0 : ColWidths[0] + GridLineWidth;
    return QRect(x, y, ColWidths[col], RowHeight(row));
}

bool TObStringGrid::MouseToCell(QPoint p, int& col, int& row) const
{
    if (p.x() < 0 || p.y() < 0)
        return false;
    if (p.x() < ColWidths[0] + GridLineWidth)
        col = 0;
    else if (p.x() < ColWidths[0] + GridLineWidth + ColWidths[1] + GridLineWidth)
        col = 1;
    else
        return false;
    int y = 0;
    for (int r = 0; r < RowCount(); ++r) {
        const int h = RowHeight(r) + GridLineWidth;
        if (h > GridLineWidth && p.y() >= y && p.y() < y + h) {
            row = r;
            return true;
        }
        y += h;
    }
    return false;
}

int TObStringGrid::RowsHeight() const
{
    int h = 0;
    for (int r = 1; r < RowCount(); ++r)
        h += RowHeight(r) + GridLineWidth;
    return h;
}

void TObStringGrid::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QColor line(Qt::gray);
    for (int r = 0; r < RowCount(); ++r) {
        if (RowHeight(r) <= 0)
            continue;
        for (int c = 0; c < 2; ++c) {
            const QRect cell = CellRect(c, r);
            p.save();
            p.setClipRect(cell);
            if (OnDrawCell)
                OnDrawCell(p, c, r, cell);
            else
                p.fillRect(cell, palette().window());
            p.restore();
        }
        // The lines right of each column and below the row.
        const QRect last = CellRect(1, r);
        p.fillRect(QRect(ColWidths[0], last.top(), GridLineWidth, last.height() + GridLineWidth), line);
        p.fillRect(QRect(last.right() + 1, last.top(), GridLineWidth, last.height() + GridLineWidth), line);
        p.fillRect(QRect(0, last.bottom() + 1, last.right() + 1 + GridLineWidth, GridLineWidth), line);
    }
    // The single border.
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TObStringGrid::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(e);
        return;
    }
    int col = 0, row = 0;
    if (!MouseToCell(e->position().toPoint(), col, row) || col < FixedCols)
        return;
    Col = col;
    Row = row;
    if (OnSelectCell)
        OnSelectCell(col, row);
}

void TObStringGrid::keyPressEvent(QKeyEvent* e)
{
    if (OnKeyDown)
        OnKeyDown(e->key());
    QWidget::keyPressEvent(e);
}

// ---- contributed windows ----

TPropertyWindows& PropertyWindows()
{
    static TPropertyWindows windows;
    return windows;
}
