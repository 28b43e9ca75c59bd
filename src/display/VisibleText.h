#pragma once

#include "display/LineStore.h"

#include <QString>

// What a stored line looks like on screen: control characters (the separator U+0000, line
// breaks, tabs) drawn as their visible Unicode symbols, and very long lines cut for painting.
// The stored text itself never changes: copy, save and search read it as it is.
namespace VisibleText {

// Lines are painted up to this many characters; the rest stays reachable through copy and save.
constexpr qsizetype PaintLimit = 65536;

QString forPainting(const LineView &line);

} // namespace VisibleText
