#include "objects/RahmenRect.h"
#include "shell/Variable.h"
#include <cmath>

TRahmenRect::TRahmenRect(TComponent* owner) : TComponent(owner) {}

void TRahmenRect::SetBounds(Int32 left, Int32 top, Int32 width, Int32 height)
{
    Left = left;
    Top = top;
    Width = width;
    Height = height;
    Right = left + width;
    Bottom = top + height;
}

void TRahmenRect::SetRect(const TRect& rect)
{
    SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
    StoreLogical();
}

void TRahmenRect::SetLogicalRect(const TRect& rect)
{
    LogicalLeft = rect.Left;
    LogicalTop = rect.Top;
    LogicalRight = rect.Right;
    LogicalBottom = rect.Bottom;
    LogicalWidth = rect.Width();
    LogicalHeight = rect.Height();
}

void TRahmenRect::StoreLogical()
{
    if (KeepLogicalValues)
        return;
    const double zoom = ZoomFactor;
    // A zoom that is not a positive number has no logical counterpart: keep what we have.
    if (!std::isfinite(zoom) || zoom <= 0.0)
        return;
    LogicalLeft = RoundHalfEven(Left / zoom);
    LogicalTop = RoundHalfEven(Top / zoom);
    LogicalWidth = RoundHalfEven(Width / zoom);
    LogicalHeight = RoundHalfEven(Height / zoom);
    LogicalRight = RoundHalfEven(Right / zoom);
    LogicalBottom = RoundHalfEven(Bottom / zoom);
}

void TRahmenRect::Scale(double factor)
{
    if (!std::isfinite(factor))
        return;
    SetBounds(RoundHalfEven(factor * LogicalLeft), RoundHalfEven(factor * LogicalTop),
              RoundHalfEven(factor * LogicalWidth), RoundHalfEven(factor * LogicalHeight));
}
