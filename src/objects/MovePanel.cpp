#include "objects/MovePanel.h"
#include <QMouseEvent>

TMovePanel::TMovePanel(TComponent* owner, QWidget* parent, Int32 index)
    : TPanel(owner, parent), Index(index)
{
    hide();
    SetColor(clNavy);
    SetBounds(0, 0, HandleSize, HandleSize);
}

// Not accepted: the events travel on to whoever handles the handles.
void TMovePanel::mousePressEvent(QMouseEvent* e) { e->ignore(); }
void TMovePanel::mouseMoveEvent(QMouseEvent* e) { e->ignore(); }
void TMovePanel::mouseReleaseEvent(QMouseEvent* e) { e->ignore(); }
void TMovePanel::mouseDoubleClickEvent(QMouseEvent* e) { e->ignore(); }
