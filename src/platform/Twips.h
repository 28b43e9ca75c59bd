#pragma once

#include <QPoint>
#include <QRect>

// Window geometry is kept in twips (1/1440 inch) and stored that way; Qt speaks pixels.
// A TwipsScale converts between the two for one screen, rounding half to even both ways.
struct TwipsScale {
    double perPixelX = 15.0;
    double perPixelY = 15.0;

    static TwipsScale fromDpi(double logicalDpiX, double logicalDpiY);

    int xToTwips(double pixels) const;
    int yToTwips(double pixels) const;
    int xToPixels(double twips) const;
    int yToPixels(double twips) const;

    QRect rectToTwips(const QRect &pixels) const;
    QRect rectToPixels(const QRect &twips) const;
};

// A screen's size in twips.
struct ScreenTwips {
    double width = 0;
    double height = 0;
};
