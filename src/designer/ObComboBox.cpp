#include "designer/ObComboBox.h"
#include "designer/ObPanel.h"
#include <QAbstractItemView>
#include <QFocusEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {
constexpr int ObjectRole = Qt::UserRole;
constexpr int LineCaptionRole = Qt::UserRole + 1;

// The pen style of line-type item i: solid, dash, dot, dash-dot, dash-dot-dot.
Qt::PenStyle LinePenStyle(int i)
{
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    return styles[std::clamp(i, 0, 4)];
}

// A line-type item: a white cell with a black sample line from x = 3 to 50 at top + 6 and the
// caption at x = 54.
class TLineTypeDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        p->save();
        p->fillRect(r, (option.state & QStyle::State_Selected) ? option.palette.highlight() : QBrush(Qt::white));
        p->setPen(QPen(Qt::black, 1, LinePenStyle(index.row())));
        p->drawLine(r.left() + 3, r.top() + 6, r.left() + 50, r.top() + 6);
        p->setPen(Qt::black);
        p->drawText(QRect(r.left() + 54, r.top() + 1, r.width() - 54, r.height() - 1), Qt::AlignLeft | Qt::AlignTop,
                    index.data(LineCaptionRole).toString());
        p->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(std::max(s.height(), 13));
        return s;
    }
};

QPixmap LineSample(int i)
{
    QPixmap pm(48, 12);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setPen(QPen(Qt::black, 1, LinePenStyle(i)));
    p.drawLine(1, 6, 47, 6);
    return pm;
}
} // namespace

TObComboBox::TObComboBox(TObPanel* row, QWidget* sheet, int totalWidth, int valueWidth)
    : QComboBox(sheet), Row(row), TotalWidth(totalWidth), ValueWidth(valueWidth)
{
    setEditable(false);
    setMaxVisibleItems(10);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QComboBox::activated, this, &TObComboBox::Chosen);
}

TObComboBox::~TObComboBox()
{
    if (Row && Row->Editor == this)
        Row->Editor = nullptr;
}

void TObComboBox::AddItem(const QString& text, void* object)
{
    int at = count();
    if (Sorted) {
        at = 0;
        while (at < count() && QString::compare(itemText(at), text, Qt::CaseInsensitive) <= 0)
            ++at;
    }
    const QSignalBlocker block(this);
    insertItem(at, text, QVariant::fromValue(object));
}

void* TObComboBox::ItemObject(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return itemData(index, ObjectRole).value<void*>();
}

void TObComboBox::SetLineTypeItems(const QStringList& captions)
{
    const QSignalBlocker block(this);
    setItemDelegate(new TLineTypeDelegate(this));
    for (int i = 0; i < captions.size(); ++i) {
        addItem(QIcon(LineSample(i)), QString());
        setItemData(i, captions[i], LineCaptionRole);
        setItemData(i, captions[i], Qt::ToolTipRole);
    }
}

void TObComboBox::showPopup()
{
    if (count() > 0) {
        // The open list uses the whole property area.
        valueCell_ = geometry();
        setGeometry(10, y(), std::max(20, TotalWidth - 10), height());
    }
    QComboBox::showPopup();
}

void TObComboBox::Chosen(int index)
{
    if (count() > 0) {
        // Back over the value column.
        setGeometry(TotalWidth - ValueWidth, y(), ValueWidth, height());
    }
    if (index >= 0 && OnChange)
        OnChange(this);
}

void TObComboBox::focusInEvent(QFocusEvent* e)
{
    Active = true;
    QComboBox::focusInEvent(e);
}

void TObComboBox::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    // The own list taking the focus, or another window becoming active, is no exit: only the
    // focus moving to another control of the designer is.
    if (e->reason() == Qt::PopupFocusReason || e->reason() == Qt::ActiveWindowFocusReason ||
        (view() && view()->isVisible()))
        return;
    if (Active && OnExit)
        OnExit(this);
}
