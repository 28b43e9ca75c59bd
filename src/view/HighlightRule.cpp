#include "view/HighlightRule.h"

QString HighlightRule::description() const
{
    return notZero ? text + QStringLiteral(" not 0") : text;
}

namespace HighlightPalette {

namespace {

// Enough colour to tell rows apart at a glance, little enough that the window's own text
// colour stays readable on it, dark text on a light base as light text on a dark one.
constexpr int kShare = 95; // of 255

int channel(std::uint32_t rgb, int shift)
{
    return int((rgb >> shift) & 0xFF);
}

} // namespace

int find(QStringView name)
{
    for (std::size_t i = 0; i < kColours.size(); ++i) {
        if (name.compare(QLatin1StringView(kColours[i].name), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return 0;
}

std::uint32_t tint(int colour, std::uint32_t base)
{
    const std::uint32_t hue = kColours[std::size_t(colour) % kColours.size()].rgb;
    const auto mix = [&](int shift) {
        const int value =
            (channel(base, shift) * (255 - kShare) + channel(hue, shift) * kShare + 127) / 255;
        return std::uint32_t(value) << shift;
    };
    return mix(16) | mix(8) | mix(0);
}

} // namespace HighlightPalette
