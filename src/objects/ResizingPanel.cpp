#include "objects/ResizingPanel.h"
#include "objects/RahmenRect.h"
#include <QGuiApplication>
#include <QMouseEvent>

TResizingPanel::TResizingPanel(TComponent* owner, QWidget* parent) : TPanel(owner, parent)
{
    // Mouse moves without a button arrive too, for the hover cursor.
    setMouseTracking(true);
}

bool TResizingPanel::TakeChangedFlags()
{
    const bool any = LeftChanged || TopChanged;
    LeftChanged = TopChanged = false;
    return any;
}

void TResizingPanel::PlaceControl(const TRahmenRect& contentFrame)
{
    if (!Control)
        return;
    Control->setGeometry(contentFrame.LogicalLeft, contentFrame.LogicalTop,
                         qMax(0, contentFrame.LogicalWidth), qMax(0, contentFrame.LogicalHeight));
}

void TResizingPanel::enterEvent(QEnterEvent* e)
{
    SavedCursor = cursor();
    TPanel::enterEvent(e);
}

void TResizingPanel::leaveEvent(QEvent* e)
{
    // The panel is never resized by the mouse, so leaving always gives the cursor back.
    setCursor(SavedCursor);
    TPanel::leaveEvent(e);
}

void TResizingPanel::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    // The screen cursor goes back to the default.
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    const QPoint p = e->position().toPoint();
    StartPoint = {p.x(), p.y()};
    StartLeft = Left();
    StartTop = Top();
    Moving = true;
    // Qt's implicit grab keeps the mouse with this panel until the button is released.
    e->accept();
}

void TResizingPanel::mouseMoveEvent(QMouseEvent* e)
{
    if (!Moving) {
        // With zero-width edge zones the mouse is never on a resize edge: the arrow.
        setCursor(Qt::ArrowCursor);
        e->accept();
        return;
    }
    // The position is relative to the panel, which moves with the mouse.
    const QPoint p = e->position().toPoint();
    int left = Left(), top = Top();
    if (Interaction & 0x01)
        left = p.x() + left - StartPoint.X;
    if (Interaction & 0x02)
        top = p.y() + top - StartPoint.Y;
    if (left != Left() || top != Top())
        move(left, top);
    e->accept();
}

void TResizingPanel::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    if (Moving) {
        if (Left() != StartLeft)
            LeftChanged = true;
        if (Top() != StartTop)
            TopChanged = true;
    }
    Moving = false;
    e->accept();
}
