#pragma once
// TMovePanel: one of the designer's eight resize handles around the selected object,
// a small navy square. It does not handle the mouse itself: every mouse event is left
// to the designer, which handles the handles.
#include "platform/Panel.h"

class TMovePanel : public TPanel {
    Q_OBJECT
public:
    static constexpr int HandleSize = 6;

    // Created hidden, navy, 6 x 6; index 0..7 says which handle it is.
    TMovePanel(TComponent* owner, QWidget* parent, Int32 index);

    Int32 Index = 0;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};
