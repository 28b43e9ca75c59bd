#pragma once

#include <QString>
#include <QStringList>

// The display's own copy of all its lines: its window is focused, Ctrl+A and Ctrl+C pressed,
// and the clipboard read back (xdotool and xclip on $DISPLAY). `expected` is a text the copy
// must hold. Empty when it did not come.
QStringList copyDisplayLines(qint64 displayPid, const QString &expected);
