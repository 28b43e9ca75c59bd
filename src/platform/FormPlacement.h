#pragma once

#include <QPoint>

#include <optional>

// A window's outer rectangle in twips, as its Left/Top/Width/Height properties give it.
struct FormRectTwips {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// Where CenterForm puts a form of the given size: over the owner when there is one (clamped
// to the screen), otherwise in the middle of the screen (unclamped). Empty when the 32-bit
// arithmetic overflows, in which case the form stays where it is.
std::optional<QPoint> centerFormPosition(double screenWidth, double screenHeight,
                                         const FormRectTwips &form,
                                         const std::optional<FormRectTwips> &owner);
