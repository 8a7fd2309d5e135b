#pragma once
// The property set: one bit per property row of the designer's property panel.
#include <bitset>
#include <initializer_list>

constexpr int PropertyRowCount = 112;
using TPropertySet = std::bitset<PropertyRowCount>;

inline TPropertySet MakePropertySet(std::initializer_list<int> bits)
{
    TPropertySet s;
    for (int b : bits)
        if (b >= 0 && b < PropertyRowCount)
            s.set(static_cast<size_t>(b));
    return s;
}

// True when every bit of sub is in set (an empty sub is a subset of every set).
inline bool IsSubset(const TPropertySet& sub, const TPropertySet& set)
{
    return (sub & ~set).none();
}
