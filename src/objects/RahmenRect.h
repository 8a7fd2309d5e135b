#pragma once
// TRahmenRect: a frame rectangle kept twice, in screen pixels and in logical units
// (the same rectangle at zoom 1.0). Every object has a content, an outer and a border frame.
#include "platform/Color.h"
#include "platform/Component.h"
#include "platform/Types.h"

class TRahmenRect : public TComponent {
public:
    explicit TRahmenRect(TComponent* owner = nullptr);

    // The rectangle on screen.
    Int32 Left = 0;
    Int32 Top = 0;
    Int32 Right = 100;
    Int32 Bottom = 100;
    Int32 Width = 100;
    Int32 Height = 100;

    // The same rectangle at zoom 1.0.
    Int32 LogicalLeft = 0;
    Int32 LogicalTop = 0;
    Int32 LogicalRight = 0;
    Int32 LogicalBottom = 0;
    Int32 LogicalWidth = 0;
    Int32 LogicalHeight = 0;

    // The border frame holds the object's border colour here.
    TColor Color = clBlack;

    // Pixel rectangle from left, top, width and height.
    void SetBounds(Int32 left, Int32 top, Int32 width, Int32 height);
    // Pixel rectangle := rect, then the logical values follow (StoreLogical).
    void SetRect(const TRect& rect);
    void SetLogicalRect(const TRect& rect);
    // Each logical value := [pixel value / ZoomFactor]; nothing while KeepLogicalValues is set.
    void StoreLogical();
    // Pixel rectangle := the logical rectangle times factor.
    void Scale(double factor);

    TRect PixelRect() const { return {Left, Top, Right, Bottom}; }
    TRect LogicalRect() const { return {LogicalLeft, LogicalTop, LogicalRight, LogicalBottom}; }
};
