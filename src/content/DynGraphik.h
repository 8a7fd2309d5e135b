#pragma once
// TDynGraphik: one geometric shape (a line, a rectangle, a circle or an ellipse). A shape has no
// visible window of its own: it paints itself onto its container's surface (and onto preview
// pages and the printer), and the container finds it under the mouse by the shape's geometric
// hit test and drives the dragging of its handles through it.
#include "objects/DynRichEdit.h"

class TObjectList;

// The shapes.
enum TGraphikShape : Int32 { gsNone = 0, gsLine = 1, gsRectangle = 2, gsCircle = 3, gsEllipse = 4 };

// Directions of a line: where its end lies from its start.
enum TLineDirection : Int32 { ldUpRight = 1, ldUpLeft = 2, ldDownLeft = 3, ldDownRight = 4 };

// Grab codes of the hit test: which handle of a shape the mouse holds.
enum TShapeHandle : Int32 {
    shNone = 0, shEndPoint = 1, shWhole = 2, shWidth = 3, shHeight = 4, shRadius = 5
};

// What the designer shows while a handle is dragged (pixels of the container; angle in degrees).
struct TShapeDragValues {
    Int32 Handle = shNone;     // the handle being dragged, shNone when no drag runs
    double Length = 0;         // end point: the line's length
    double Angle = 0;          // end point: the line's angle
    Int32 X = 0, Y = 0;        // whole shape: left and top (a circle: its centre)
    Int32 Width = 0;           // width handle: |x2 - x1|
    Int32 Height = 0;          // height handle: |y2 - y1|
    Int32 Radius = 0;          // radius handle: |x2 - x1| div 2
};

class TDynGraphik : public TDynRichEdit {
    Q_OBJECT
public:
    // The designer's creation of a shape (1 to 4) in the drag held by DrawRect; shape 0 is the
    // empty object the list reader loads a record into.
    TDynGraphik(TComponent* owner, QWidget* parent, Int32 shape = gsNone);

    // Largest line width and extent (logical pixels) a shape accepts.
    static constexpr Int32 MaxLineWidth = 1000;
    static constexpr double MaxExtent = 32767;

    // ---- own fields ----
    Int32 Shape = gsNone;
    Int32 LineWidth = 1;        // logical pen width
    Int32 LineWidthPixels = 1;  // [LineWidth x ZoomFactor]
    Int32 LineType = psSolid;   // 0 solid, 1 dashed, 2 dotted, 3 dash-dot, 4 dash-dot-dot
    Int32 Direction = ldDownRight;
    TColor OutlineColor = clBlack;
    double Radius = 0;          // derived after each paint
    double Angle = 0;           // derived after each paint, or set by the user
    double Length = 0;          // derived after each paint
    TPoint StartPoint, EndPoint; // derived after each paint, container pixels

    // While a handle of this shape is dragged, the values the designer shows; the designer reads
    // them on RefreshDesigner (DraggedShape() tells which shape is being dragged).
    TShapeDragValues DragValues;
    static TDynGraphik* DraggedShape();

    // ---- the common protocol ----
    void UpdateLayout() override;
    void Repaint() override;
    void PaintTo(TCanvas& canvas) override;
    void Activate() override;
    void ApplyZoom(double factor) override;
    void StoreLogicalBounds() override;
    void SetColor(TColor color) override;
    void SetBorderColor(TColor color) override;
    void Setpleft(Int32 value) override;
    void Setptop(Int32 value) override;

    // ---- property rows (values in logical pixels; the angle in degrees) ----
    // Values out of range, and a length, angle or radius of a locked shape or of a shape that
    // has no such row, change nothing.
    void SetLineWidth(Int32 value);  // "Line width": 0 to MaxLineWidth
    void SetLineType(Int32 value);   // "Linetype": 0 to 4
    void SetLength(double value);    // "Length" (lines): along the current angle
    void SetAngle(double value);     // "Arcus" (lines): 0 and above, whole turns dropped
    void SetRadius(double value);    // "Radius" (circles)

    // ---- hit test and handles ----
    // The grab code for a point in the container's pixels (shNone when the shape is not hit).
    Int32 HitTest(int x, int y) const;
    // The first shape (kind 16) of a container's children whose hit test gives a code, with the
    // code in handleCode (shNone and nil when none is hit).
    static TDynGraphik* FindAt(const TObjectList& children, int x, int y, Int32& handleCode);

    // The container's drag of a handle: DrawRect's two raw points start at the line's start and
    // end point or at the box's corners.
    void BeginHandleDrag(Int32 handleCode);
    // The handle moves by the mouse's offset since the last move; the designer is told the
    // values it shows.
    void MoveHandle(Int32 handleCode, int dx, int dy);
    // The shape takes the dragged geometry when it changed (a line its direction and box, the
    // others the normalized rectangle); in any case it becomes the selected object. Returns
    // whether the geometry changed.
    bool EndHandleDrag(Int32 handleCode);

    // ---- record ----
    void SaveToStream() override;
    void LoadFromStream() override;

    // The drawing rectangle on the container's surface: the box, and for a line its start and
    // end point turned by the direction.
    void SurfaceGeometry(TPoint& start, TPoint& end) const;

private:
    // The property set and the name of the shape (on creation and after loading).
    void ApplyShapeKind(bool loading);
    // The container repaints and the shape paints itself onto the container's surface.
    void PaintOnContainer();
    void DrawShape(TCanvas& canvas, TRect r, int penWidth);
    // The drag's two raw points as the shape's box, direction included.
    void DraggedBox(TRect& box, Int32& direction) const;
};
