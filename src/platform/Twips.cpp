#include "platform/Twips.h"

#include "platform/Rounding.h"

TwipsScale TwipsScale::fromDpi(double logicalDpiX, double logicalDpiY)
{
    TwipsScale scale;
    if (logicalDpiX > 0)
        scale.perPixelX = 1440.0 / logicalDpiX;
    if (logicalDpiY > 0)
        scale.perPixelY = 1440.0 / logicalDpiY;
    return scale;
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
