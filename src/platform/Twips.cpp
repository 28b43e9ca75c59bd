#include "Twips.h"

#include "Rounding.h"

#include <QGuiApplication>
#include <QScreen>

TwipsScale TwipsScale::fromDpi(double logicalDpiX, double logicalDpiY)
{
    TwipsScale scale;
    if (logicalDpiX > 0)
        scale.perPixelX = 1440.0 / logicalDpiX;
    if (logicalDpiY > 0)
        scale.perPixelY = 1440.0 / logicalDpiY;
    return scale;
}

TwipsScale TwipsScale::primary()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return fromDpi(96, 96);
    return fromDpi(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY());
}

int TwipsScale::xToTwips(double pixels) const
{
    return static_cast<int>(roundHalfEven(pixels * perPixelX));
}

int TwipsScale::yToTwips(double pixels) const
{
    return static_cast<int>(roundHalfEven(pixels * perPixelY));
}

int TwipsScale::xToPixels(double twips) const
{
    return static_cast<int>(roundHalfEven(twips / perPixelX));
}

int TwipsScale::yToPixels(double twips) const
{
    return static_cast<int>(roundHalfEven(twips / perPixelY));
}

QRect TwipsScale::rectToTwips(const QRect &pixels) const
{
    return {xToTwips(pixels.x()), yToTwips(pixels.y()), xToTwips(pixels.width()),
            yToTwips(pixels.height())};
}

QRect TwipsScale::rectToPixels(const QRect &twips) const
{
    return {xToPixels(twips.x()), yToPixels(twips.y()), xToPixels(twips.width()),
            yToPixels(twips.height())};
}

ScreenTwips ScreenTwips::primary()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const TwipsScale scale = TwipsScale::primary();
    const QSize size = screen->geometry().size();
    return {size.width() * scale.perPixelX, size.height() * scale.perPixelY};
}
