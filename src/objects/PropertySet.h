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

// The standard property sets of the kinds.
namespace PropertySets {
inline TPropertySet RichEdit() { return MakePropertySet({3, 4, 5, 6, 9, 23, 24, 26, 30, 33, 34, 44, 70, 71, 72, 73, 74}); }
inline TPropertySet RichEditCell() { return MakePropertySet({5, 9, 19, 23, 30, 33, 34, 45, 70, 71, 72, 73, 74}); }
inline TPropertySet DBForm() { return MakePropertySet({2, 5, 6, 9, 30, 34, 38, 40, 42, 43, 44, 48, 49, 50, 59, 60, 70, 71, 72, 73, 74, 85}); }
inline TPropertySet Header() { return MakePropertySet({6, 9, 23, 30, 33, 34, 45, 70, 71, 72, 73, 74, 80}); }
inline TPropertySet MultiPanel() { return MakePropertySet({3, 4, 5, 6, 23, 24, 26, 30, 33, 34, 70, 71, 72, 73, 74}); }
inline TPropertySet EditLabel() { return MakePropertySet({3, 4, 5, 6, 23, 24, 25, 26, 27, 28, 30, 31, 33, 34, 36, 70, 71, 72, 73, 74}); }
inline TPropertySet Project() { return MakePropertySet({2, 35, 76, 81}); }
inline TPropertySet Designer() { return MakePropertySet({30, 59, 60, 77, 109}); }
} // namespace PropertySets
