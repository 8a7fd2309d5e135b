#pragma once
// TGridLine: a help line, a plain panel one pixel thick. Orientation 0 is a vertical line,
// 1 a horizontal one. A left button press on the line belongs to what lies under it: it is
// passed on, with the moves and the release that follow it, to its parent's parent.
#include "platform/Panel.h"
#include <QPointer>

class TGridLine : public TPanel {
    Q_OBJECT
public:
    TGridLine(TComponent* owner, Int16 orientation, QWidget* parent);
    ~TGridLine() override;

    Int16 Orientation = 0;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void PassOn(QMouseEvent* e);
    QPointer<QWidget> receiver_;
};
