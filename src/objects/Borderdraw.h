#pragma once
// The border painter. For one paint of an object it lays out the border line of each side
// that carries a border (single, or double: two lines with a gap between them), draws them,
// and reports the area inside the border.
#include "platform/Color.h"
#include "platform/Component.h"
#include "platform/Types.h"

class TCanvas;

// One rectangle of the border, in canvas pixels (right and bottom exclusive).
class TBorderRect : public TComponent {
public:
    explicit TBorderRect(TComponent* owner = nullptr) : TComponent(owner) {}

    Int32 Left = 0;
    Int32 Top = 0;
    Int32 Right = 0;
    Int32 Bottom = 0;
    bool Visible = false;

    TRect Rect() const { return {Left, Top, Right, Bottom}; }
    void SetRect(Int32 left, Int32 top, Int32 right, Int32 bottom)
    {
        Left = left;
        Top = top;
        Right = right;
        Bottom = bottom;
    }
};

class TBorderDraw : public TComponent {
public:
    explicit TBorderDraw(TComponent* owner = nullptr);

    // The border line of each side.
    TBorderRect OuterLeft{this};
    TBorderRect OuterTop{this};
    TBorderRect OuterRight{this};
    TBorderRect OuterBottom{this};
    // The stripes, in the background colour, that split each line in two for a double border.
    TBorderRect InnerLeft{this};
    TBorderRect InnerTop{this};
    TBorderRect InnerRight{this};
    TBorderRect InnerBottom{this};

    Int32 LineWidth = 0;
    Int32 InnerWidth = 0;
    Int32 SidesCode = 0;
    bool Double = false;

    // Takes the object's DoubleBorder and BorderSides and decides which rectangles are drawn.
    void Setup(bool dbl, int sidesCode);
    // Lays out the rectangles for a border of the given width on (l, t, r, b) and returns
    // the area inside the border line.
    TRect Layout(int width, int l, int t, int r, int b);
    // Fills the visible border lines with borderColor and, for a double border, the visible
    // stripes with backColor. The canvas brush colour is backColor afterwards.
    void Draw(TCanvas& canvas, TColor backColor, TColor borderColor);
};
