#include "platform/FormPlacement.h"

#include "platform/Rounding.h"

#include <cstdint>
#include <limits>

namespace {

using Long = std::int64_t;

bool fitsLong(double value)
{
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

std::optional<Long> toLong(double value)
{
    const double rounded = roundHalfEven(value);
    if (!fitsLong(rounded))
        return std::nullopt;
    return static_cast<Long>(rounded);
}

// Integer division with the result truncated toward zero, as the 32-bit "\" operator does.
std::optional<Long> halve(Long value)
{
    const Long half = value / 2;
    if (!fitsLong(static_cast<double>(half)))
        return std::nullopt;
    return half;
}

std::optional<Long> clampAxis(Long start, Long size, Long screen)
{
    if (start < 0)
        return 0;
    if (!fitsLong(static_cast<double>(start + size)))
        return std::nullopt;
    if (start + size > screen)
        return screen - size;
    return start;
}

} // namespace

std::optional<QPoint> centerFormPosition(double screenWidth, double screenHeight,
                                         const FormRectTwips &form,
                                         const std::optional<FormRectTwips> &owner)
{
    const auto sw = toLong(screenWidth);
    const auto sh = toLong(screenHeight);
    const auto w = toLong(form.width);
    const auto h = toLong(form.height);
    if (!sw || !sh || !w || !h)
        return std::nullopt;

    if (!owner) {
        const auto left = halve(*sw - *w);
        const auto top = halve(*sh - *h);
        if (!left || !top)
            return std::nullopt;
        return QPoint(static_cast<int>(*left), static_cast<int>(*top));
    }

    const auto dx = toLong(owner->width - static_cast<double>(*w));
    const auto dy = toLong(owner->height - static_cast<double>(*h));
    if (!dx || !dy)
        return std::nullopt;
    const auto halfX = halve(*dx);
    const auto halfY = halve(*dy);
    if (!halfX || !halfY)
        return std::nullopt;
    const auto left = toLong(owner->left + static_cast<double>(*halfX));
    const auto top = toLong(owner->top + static_cast<double>(*halfY));
    if (!left || !top)
        return std::nullopt;
    const auto clampedLeft = clampAxis(*left, *w, *sw);
    const auto clampedTop = clampAxis(*top, *h, *sh);
    if (!clampedLeft || !clampedTop)
        return std::nullopt;
    return QPoint(static_cast<int>(*clampedLeft), static_cast<int>(*clampedTop));
}
