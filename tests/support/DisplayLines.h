#pragma once

#include <QStringList>

// The display's own copy of all its lines (Ctrl+A, Ctrl+C in its focused window, by xdotool and
// xclip on $DISPLAY), once it holds `expected`; empty when that did not come.
QStringList copyDisplayLines(qint64 displayPid, const QString &expected);
