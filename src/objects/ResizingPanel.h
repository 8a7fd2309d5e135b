#pragma once
// TResizingPanel: the panel that hosts the rich-text control in the text editor. The user
// can drag it with the left mouse button; its resize zones have no width, so the mouse
// only ever moves it.
#include "platform/Panel.h"
#include <QCursor>

class TRahmenRect;

class TResizingPanel : public TPanel {
    Q_OBJECT
public:
    TResizingPanel(TComponent* owner, QWidget* parent);

    // Same bits as an object's Interaction: bit 0 may move horizontally, bit 1 vertically,
    // bit 2 may resize the width, bit 3 the height.
    quint8 Interaction = 15;
    // The hosted control, or nullptr.
    QWidget* Control = nullptr;

    // Drag state.
    TPoint StartPoint;
    Int32 StartLeft = 0;
    Int32 StartTop = 0;
    bool Moving = false;
    QCursor SavedCursor;
    bool LeftChanged = false;
    bool TopChanged = false;

    // Whether a drag changed the left or the top; clears both flags.
    bool TakeChangedFlags();
    // The hosted control takes the frame's logical left, top, width and height.
    void PlaceControl(const TRahmenRect& contentFrame);

protected:
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};
