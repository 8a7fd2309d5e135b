#include "platform/Screen.h"
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
struct ScreenOverride {
    bool active = false;
    int ppi = 96, width = 1024, height = 768;
};
ScreenOverride& Ovr()
{
    static ScreenOverride o;
    return o;
}
QScreen* Primary()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr;
}
} // namespace

int TScreen::PixelsPerInch()
{
    if (Ovr().active)
        return Ovr().ppi;
    if (QScreen* s = Primary()) {
        const int ppi = static_cast<int>(std::lround(s->logicalDotsPerInch()));
        if (ppi > 0)
            return ppi;
    }
    return 96;
}

int TScreen::Width()
{
    if (Ovr().active)
        return Ovr().width;
    if (QScreen* s = Primary())
        return s->geometry().width();
    return 1024;
}

int TScreen::Height()
{
    if (Ovr().active)
        return Ovr().height;
    if (QScreen* s = Primary())
        return s->geometry().height();
    return 768;
}

void TScreen::Override(int pixelsPerInch, int width, int height)
{
    Ovr() = {true, pixelsPerInch, width, height};
}

void TScreen::ClearOverride()
{
    Ovr().active = false;
}
