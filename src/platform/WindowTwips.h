#pragma once

#include <QMargins>
#include <QRect>

#include <functional>

class QWidget;

// Top-level windows placed by their outer rectangle (frame included) in twips, as the
// settings store keeps them.
namespace WindowTwips {

// x = Left, y = Top, then Width and Height, in twips.
QRect outerRect(const QWidget *window);

// Moves and sizes a window by its outer rectangle. Before a window manager has framed the
// window its frame is unknown; the size is corrected as soon as the frame is known.
void setOuterRect(QWidget *window, const QRect &twips);

// The frame around the window's client area, in pixels (none before it is framed).
QMargins frameMargins(const QWidget *window);

// The frame of a shown top-level window the window manager has framed, as the best guess for a
// window it is about to frame; none when there is no such window.
QMargins knownFrame();

// Calls `apply` once, when the window manager has framed the window (at once if it has).
void whenFramed(QWidget *window, std::function<void(const QMargins &)> apply);

} // namespace WindowTwips
