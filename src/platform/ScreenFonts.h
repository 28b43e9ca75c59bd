#pragma once

#include <QStringList>

// The screen fonts the operator can choose from: every installed family, plus the well-known
// Windows names that fontconfig maps onto a metric-compatible installed family, so "Courier
// New" is there when Liberation Mono is.
namespace ScreenFonts {

QStringList families();

} // namespace ScreenFonts
