#pragma once
// Which sides of an object carry its border, by the BorderSides code:
//  0 none, 1 top, 2 bottom, 3 top+bottom, 4 all, 5 left, 6 right, 7 left+right,
//  8 left+top+right, 9 left+right+bottom, 10 top+right+bottom, 11 left+top+bottom.
// Any other code carries no border.

enum TSide : int { sLeft = 0, sTop = 1, sRight = 2, sBottom = 3 };

constexpr bool SideHasBorder(int code, TSide side)
{
    // One bit per side: bit 0 left, bit 1 top, bit 2 right, bit 3 bottom.
    constexpr unsigned char sides[12] = {
        0b0000, 0b0010, 0b1000, 0b1010, 0b1111, 0b0001,
        0b0100, 0b0101, 0b0111, 0b1101, 0b1110, 0b1011,
    };
    if (code < 0 || code > 11)
        return false;
    return (sides[code] >> static_cast<int>(side)) & 1u;
}
