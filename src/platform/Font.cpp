#include "platform/Font.h"
#include "platform/Screen.h"
#include <cmath>

namespace {
int MulDiv(int a, int b, int c)
{
    return static_cast<int>(std::lround(static_cast<double>(a) * b / c));
}
} // namespace

int TFont::Size() const
{
    return -MulDiv(height_, 72, TScreen::PixelsPerInch());
}

void TFont::SetSize(int points)
{
    height_ = -MulDiv(points, TScreen::PixelsPerInch(), 72);
}

QFont TFont::ToQFont() const
{
    QFont f(Name);
    const int points = Size();
    if (points > 0)
        f.setPointSize(points);
    else if (height_ > 0) // a positive height counts the cell including leading
        f.setPixelSize(height_);
    else
        f.setPointSize(1);
    f.setBold(Bold);
    f.setItalic(Italic);
    f.setUnderline(Underline);
    f.setStrikeOut(StrikeOut);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}
