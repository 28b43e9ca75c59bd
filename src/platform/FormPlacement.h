#pragma once

#include <optional>

#include <QPoint>

class QWidget;

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

// Moves `frm` over `owner` (or to the middle of the primary screen when owner is null),
// keeping its size. Never fails: a form that cannot be placed stays where it was.
void CenterForm(QWidget *frm, const QWidget *owner);

// The outer rectangle of a top-level widget in twips on the primary screen's scale.
FormRectTwips formRectTwips(const QWidget *widget);
