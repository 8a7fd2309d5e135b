#include "content/GridLine.h"
#include "designer/Objectgenerator.h"
#include "shell/Variable.h"
#include <QApplication>
#include <QMouseEvent>

TGridLine::TGridLine(TComponent* owner, Int16 orientation, QWidget* parent)
    : TPanel(owner, parent), Orientation(orientation)
{
    BevelInner = BevelOuter = TBevelCut::bvNone;
    BorderStyle = TBorderStyle::bsNone;
    SetColor(clBlack);
    if (auto* p = dynamic_cast<TPanel*>(parent))
        SetFont(p->Font());
    else if (parent)
        setFont(parent->font());
    if (orientation == 0)
        SetBounds(10, 0, 1, 100);
    else
        SetBounds(0, 10, 100, 1);
}

TGridLine::~TGridLine()
{
    // The designer forgets a help line that goes with its header or footer.
    if (TheDesigner)
        for (TGridLine*& line : TheDesigner->HelpLines)
            if (line == this)
                line = nullptr;
}

void TGridLine::PassOn(QMouseEvent* e)
{
    if (!receiver_)
        return;
    // The event reaches the receiver where it happened, in the receiver's coordinates.
    const QPointF local = receiver_->mapFromGlobal(mapToGlobal(e->position()));
    QMouseEvent copy(e->type(), local, e->scenePosition(), e->globalPosition(), e->button(), e->buttons(),
                     e->modifiers());
    QApplication::sendEvent(receiver_, &copy);
}

void TGridLine::mousePressEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() != Qt::LeftButton)
        return;
    receiver_ = parentWidget() ? parentWidget()->parentWidget() : nullptr;
    PassOn(e);
}

void TGridLine::mouseMoveEvent(QMouseEvent* e)
{
    e->accept();
    if (receiver_ && (e->buttons() & Qt::LeftButton))
        PassOn(e);
}

void TGridLine::mouseReleaseEvent(QMouseEvent* e)
{
    e->accept();
    if (e->button() != Qt::LeftButton)
        return;
    PassOn(e);
    receiver_ = nullptr;
}
