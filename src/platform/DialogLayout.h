#pragma once

#include "platform/PrimaryScreen.h"
#include "platform/Twips.h"

#include <QCheckBox>
#include <QFont>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

#include <algorithm>
#include <initializer_list>
#include <type_traits>

// Dialogs are laid out as designed, each control by its rectangle in twips. The design's sizes
// suit an 8-point sans-serif face; larger desktop fonts would clip the captions.
namespace DialogLayout {

inline QFont font()
{
    QFont face(QStringLiteral("Arial"));
    face.setPointSize(8);
    return face;
}

// Places a control by its rectangle in twips, relative to its parent. A caption that the
// design's width would clip in this face gets the width it needs.
template <typename W> W *placed(W *widget, int left, int top, int width, int height)
{
    const TwipsScale scale = primaryTwipsScale();
    int pixels = scale.xToPixels(width);
    if constexpr (std::is_base_of_v<QLabel, W>) {
        if (!widget->wordWrap())
            pixels = std::max(pixels, widget->sizeHint().width());
    } else if constexpr (std::is_base_of_v<QCheckBox, W> || std::is_base_of_v<QRadioButton, W>) {
        pixels = std::max(pixels, widget->sizeHint().width());
    }
    widget->setGeometry(scale.xToPixels(left), scale.yToPixels(top), pixels,
                        scale.yToPixels(height));
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
