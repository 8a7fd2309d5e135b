#include "platform/Color.h"

namespace {
// Fixed values for the system colours, matching the classic desktop palette so that
// a project looks the same on every machine.
constexpr TColor SystemPalette[] = {
    RGBColor(200, 200, 200), // scroll bar
    RGBColor(0, 0, 0),       // background
    RGBColor(0, 84, 227),    // active caption
    RGBColor(122, 150, 223), // inactive caption
    RGBColor(240, 240, 240), // menu
    RGBColor(255, 255, 255), // window
    RGBColor(0, 0, 0),       // window frame
    RGBColor(0, 0, 0),       // menu text
    RGBColor(0, 0, 0),       // window text
    RGBColor(255, 255, 255), // caption text
    RGBColor(212, 208, 200), // active border
    RGBColor(212, 208, 200), // inactive border
    RGBColor(128, 128, 128), // app work space
    RGBColor(10, 36, 106),   // highlight
    RGBColor(255, 255, 255), // highlight text
    RGBColor(212, 208, 200), // button face
    RGBColor(128, 128, 128), // button shadow
    RGBColor(128, 128, 128), // gray text
    RGBColor(0, 0, 0),       // button text
    RGBColor(212, 208, 200), // inactive caption text
    RGBColor(255, 255, 255), // button highlight
    RGBColor(64, 64, 64),    // 3D dark shadow
    RGBColor(212, 208, 200), // 3D light
    RGBColor(0, 0, 0),       // info text
    RGBColor(255, 255, 225), // info background
};
} // namespace

TColor ColorToRGB(TColor c)
{
    if (IsSystemColor(c)) {
        const int index = c & 0xFF;
        if (index < static_cast<int>(std::size(SystemPalette)))
            return SystemPalette[index];
        return clBlack;
    }
    if (c == clNone || c == clDefault)
        return clWhite;
    return c & 0x00FFFFFF;
}

QColor ToQColor(TColor c)
{
    const TColor rgb = ColorToRGB(c);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor FromQColor(const QColor& c)
{
    return RGBColor(c.red(), c.green(), c.blue());
}
