#include "platform/PrimaryScreen.h"

#include <QGuiApplication>
#include <QScreen>

TwipsScale primaryTwipsScale()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return TwipsScale::fromDpi(96, 96);
    return TwipsScale::fromDpi(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
}

ScreenTwips primaryScreenTwips()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const TwipsScale scale = primaryTwipsScale();
    const QSize size = screen->geometry().size();
    return {size.width() * scale.perPixelX, size.height() * scale.perPixelY};
}
