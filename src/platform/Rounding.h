#pragma once

#include <cmath>

// Every fractional value the window system hands us (twips, text widths, settings read as
// numbers) is rounded to the nearest integer with halves going to the even neighbour, so
// 2.5 -> 2 and 3.5 -> 4. std::round would send both halves up.
inline double roundHalfEven(double value)
{
    const double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return rounded;
}
