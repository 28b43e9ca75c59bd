#pragma once

#include "platform/DialogUnits.h"
#include "platform/PrimaryScreen.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include <algorithm>
#include <initializer_list>
#include <type_traits>

// Dialogs are laid out as designed, each control by its rectangle in twips, grown by how much
// larger the desktop's face is than the one the design was laid out for.
namespace DialogLayout {

inline QFont font()
{
    return QApplication::font();
}

inline DialogScale scale()
{
    const QFontMetrics metrics(font());
    return DialogScale::forFace(metrics.horizontalAdvance(QStringLiteral(
                                    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")),
                                metrics.height(), primaryTwipsScale());
}

// A dialog's designed size in twips, in pixels of the screen for the desktop's face.
inline QSize size(int width, int height)
{
    const TwipsScale screen = primaryTwipsScale();
    const DialogScale face = scale();
    return {screen.xToPixels(width * face.x), screen.yToPixels(height * face.y)};
}

// Places a control by its rectangle in twips, relative to its parent. A caption that the
// scaled width would still clip gets the width it needs.
template <typename W> W *placed(W *widget, int left, int top, int width, int height)
{
    const TwipsScale screen = primaryTwipsScale();
    const DialogScale face = scale();
    int pixels = screen.xToPixels(width * face.x);
    if constexpr (std::is_base_of_v<QLabel, W>) {
        if (!widget->wordWrap())
            pixels = std::max(pixels, widget->sizeHint().width());
    } else if constexpr (std::is_base_of_v<QCheckBox, W> || std::is_base_of_v<QRadioButton, W>) {
        pixels = std::max(pixels, widget->sizeHint().width());
    }
    widget->setGeometry(screen.xToPixels(left * face.x), screen.yToPixels(top * face.y), pixels,
                        screen.yToPixels(height * face.y));
    return widget;
}

// Tab moves through the controls in the order given.
inline void tabOrder(std::initializer_list<QWidget *> controls)
{
    QWidget *previous = nullptr;
    for (QWidget *control : controls) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

} // namespace DialogLayout
