#pragma once
// Small value types shared by every layer: rectangles and points in the
// (Left, Top, Right, Bottom) convention, and the one rounding rule.
#include <QPoint>
#include <QRect>
#include <cmath>
#include <cstdint>

using Int32 = std::int32_t;
using Int16 = std::int16_t;

// x brought to the nearest integer, a half going to the even neighbour.
inline Int32 RoundHalfEven(double x)
{
    return static_cast<Int32>(std::nearbyint(x)); // default FE_TONEAREST rounds halves to even
}

struct TPoint {
    Int32 X = 0;
    Int32 Y = 0;
    constexpr TPoint() = default;
    constexpr TPoint(Int32 x, Int32 y) : X(x), Y(y) {}
    QPoint ToQPoint() const { return {X, Y}; }
    friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

// A rectangle with an exclusive right and bottom edge, as the designer's
// geometry is written: Width = Right - Left.
struct TRect {
    Int32 Left = 0;
    Int32 Top = 0;
    Int32 Right = 0;
    Int32 Bottom = 0;
    constexpr TRect() = default;
    constexpr TRect(Int32 l, Int32 t, Int32 r, Int32 b) : Left(l), Top(t), Right(r), Bottom(b) {}
    static constexpr TRect FromBounds(Int32 l, Int32 t, Int32 w, Int32 h) { return {l, t, l + w, t + h}; }
    constexpr Int32 Width() const { return Right - Left; }
    constexpr Int32 Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(Int32 x, Int32 y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    TRect Translated(Int32 dx, Int32 dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
    QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
    static TRect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    friend constexpr bool operator==(const TRect&, const TRect&) = default;
};
