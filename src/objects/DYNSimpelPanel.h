#pragma once
// TDYNSimpelPanel: geometry in logical units and its zoom mapping, the mouse interaction
// flags, moving and resizing with the mouse, snapping, the lock, the three frames and the
// object's own drawing surface.
#include "objects/PaList.h"
#include "objects/RahmenRect.h"
#include "objects/SimpelPanel.h"
#include <QCursor>
#include <memory>

class TBImage;
class TCanvas;

// Interaction bits.
enum TInteractionBit : quint8 {
    ibMoveX = 1, ibMoveY = 2, ibSizeWidth = 4, ibSizeHeight = 8, ibSnap = 16, ibReport = 32, ibAll = 63
};

class TDYNSimpelPanel : public TSimpelPanel {
    Q_OBJECT
public:
    TDYNSimpelPanel(TComponent* owner, QWidget* parent);
    ~TDYNSimpelPanel() override;

    TBImage* Background = nullptr;
    TPaList PropertyRows;
    std::unique_ptr<TRahmenRect> ContentFrame, OuterFrame, BorderFrame;
    QWidget* Container = nullptr;
    TDYNSimpelPanel* Identity = this;
    // The value that identifies the object in its record: unique in the writing process, kept
    // from the record the object was read from.
    Int32 IdentityNumber = 0;
    bool Moved = false;
    TCanvas* PaintCanvas = nullptr;
    QWidget* Content = nullptr;
    QCursor SavedCursor;
    Int32 PreferredWidth = 0, PreferredHeight = 0;
    Int32 StartHeight = 0, StartWidth = 0, StartTop = 0, StartLeft = 0;
    Int32 LogicalFontSize = 0;
    Int32 ContentHeight = 0, ContentWidth = 0, ContentTop = 0, ContentLeft = 0;
    Int32 MarginRight = 0, MarginLeft = 0, MarginTop = 0, MarginBottom = 0;
    Int32 BorderWidth = 2;
    Int32 pheight = 1, pwidth = 1, ptop = 0, pleft = 0;
    Int32 BorderPixels = 2;
    Int32 MarginRightPixels = 0, MarginLeftPixels = 0, MarginTopPixels = 0, MarginBottomPixels = 0;
    Int32 PreviousBorderPixels = 2;
    bool ShowHandles = true;
    Int32 Docking = 7, PreviousDocking = 7;
    Int32 VAlign = 0, HAlign = 0;
    bool Centered = false;
    bool HeightChanged = false, WidthChanged = false, TopChanged = false, LeftChanged = false;
    bool pLock = false;
    Int32 EdgeZoneX = 4, EdgeZoneY = 4;
    Int32 DragStartX = 0, DragStartY = 0;
    bool OnWidthEdge = false, OnHeightEdge = false;
    bool Moving = false, Resizing = false;
    quint8 Interaction = ibAll;
    Int16 BorderSides = 4;

    // Virtual operations of the geometry layer.
    virtual bool HitResizeEdge(int x, int y);
    virtual void BeginMove(int x, int y);
    virtual void MoveTo(int x, int y);
    virtual void EndMove();
    virtual void BeginResize(int x, int y);
    virtual void ResizeTo(int x, int y);
    virtual void EndResize();
    virtual void ApplyScale(double factor);
    virtual void ShiftTop(Int32 delta);
    virtual void ShiftLeft(Int32 delta);
    virtual void UpdateLayout() {}
    virtual void StoreLogicalBounds();
    virtual void UpdateFrameRects();
    virtual void Setptop(Int32 value);
    virtual void Setpleft(Int32 value);
    virtual void Setpwidth(Int32 value);
    virtual void Setpheight(Int32 value);
    virtual void SetpLock(bool value);

    bool TakeChangedFlags();
    void CollectPropertyRows();
    // The designer itself is an object of the family; it never snaps to the grid.
    virtual bool IsDesignerObject() const { return false; }

    // Mouse messages; the common object replaces them.
    virtual void MouseDownLeft(int x, int y, QPoint screen);
    virtual void MouseMoved(int x, int y, QPoint screen, Qt::MouseButtons buttons);
    virtual void MouseUpLeft(int x, int y, QPoint screen);
    virtual void MouseDownRight(int x, int y, QPoint screen);
    void UpdateHoverCursor(int x, int y);

    // The logical value of a pixel value: [pixels / zoom].
    static Int32 ToLogical(int pixels);
    // The pixel value of a logical value: [logical x zoom].
    static int ToPixels(Int32 logical);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
};
