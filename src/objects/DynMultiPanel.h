#pragma once
// TDynMultiPanel: a container. Saves and loads its children inside its own record, passes zoom
// changes on to them, becomes the target of new objects when selected, and handles the mouse
// for placing the designer's pending kind and for dragging the handles of its graphic shapes.
#include "objects/DYNPanel.h"
#include "shell/Variable.h"
#include <QPointer>
#include <functional>

// The "Add object" entries that are placed with the mouse, numbered by their caption text.
// PendingKind holds one of them while the entry waits to be placed (NoPendingKind otherwise).
enum TPendingKind : int {
    pkDatafield = 15,
    pkPagecounter = 137,
    pkBarcode = 138,
    pkRectangle = 142,
    pkCircle = 143,
    pkLine = 145,
    pkPanel = 285,
    pkEditfield = 286,
    pkDBEdit = 287,
    pkDBMemo = 288,
    pkPicture = 291,
    pkStandardGrid = 293,
    pkEnhancedGrid = 294,
    pkNavigator = 296,
    pkDBPicture = 299,
    pkDBGrid = 301,
    pkDBReport = 302,
    pkChart = 378,
};

class TDynMultiPanel : public TDynPanel {
    Q_OBJECT
public:
    // The plain container (the base of the content kinds).
    TDynMultiPanel(TComponent* owner, QWidget* parent);
    // The "MultiPanel" kind (code 9).
    static TDynMultiPanel* CreateMultiPanel(TComponent* owner, QWidget* parent);

    bool RubberActive = false;
    Int32 HandleCode = 0; // 1 end point, 2 whole shape, 3 width, 4 height, 5 radius
    // Set for a rich-text object built as a cell of a string grid.
    bool IsGridCell = false;

    // The designer's creation of the pending kind, called when a placement ends with the
    // container and the rubber rectangle (normalized unless a line is placed). The designer
    // installs it once; while nothing is installed a placement creates nothing.
    static std::function<void(TDynMultiPanel*, const TDrawRect&)>& CreatePendingObject();

    void SaveToStream() override;
    void LoadFromStream() override;
    void ApplyZoom(double factor) override;
    void Activate() override;
    void Repaint() override;

    void MouseDownLeft(int x, int y, QPoint screen) override;
    void MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons buttons) override;
    void MouseUpLeft(int x, int y, QPoint screen) override;

    // Hooks the shapes and the designer fill in: the child shape under a point (setting
    // HandleCode), dragging its handles, and creating the pending kind in a rectangle.
    virtual TDynPanel* FindShapeAt(int x, int y);
    // A grid learns that one of its cells was clicked, and which object was selected before,
    // before it handles the click itself.
    virtual void CellClicked(TDynPanel* cell, TDynPanel* previouslySelected);

protected:
    // Initialises this object as the "MultiPanel" kind.
    void InitMultiPanelKind();
    // The outline of the rubber band on the own surface (nothing while none is dragged).
    void ShowRubberBand();
    // The grid a click on this cell goes to, or nil.
    TDynMultiPanel* GridOfCell(int x, int y);
    bool creatingPending_ = false;
    QPointer<TDynPanel> draggedShape_;
    QPointer<TDynMultiPanel> forwardedTo_;
    QPoint lastMouse_;
};
