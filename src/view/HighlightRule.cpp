#include "view/HighlightRule.h"

QString HighlightRule::description() const
{
    return notZero ? text + QStringLiteral(" not 0") : text;
}

namespace HighlightPalette {

namespace {

// Enough colour to tell rows apart at a glance, little enough that the window's own text
// colour stays readable on it: about a third over a light base, more over a dark one, where
// the same share reads fainter.
constexpr int kLightShare = 90;
constexpr int kDarkShare = 100;

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
    return -1;
}

std::uint32_t tint(int colour, std::uint32_t base)
{
    const std::uint32_t hue = kColours[std::size_t(colour) % kColours.size()].rgb;
    const int lightness =
        (channel(base, 16) * 299 + channel(base, 8) * 587 + channel(base, 0) * 114) / 1000;
    const int share = lightness >= 128 ? kLightShare : kDarkShare;
    std::uint32_t mixed = 0;
    for (const int shift : {16, 8, 0}) {
        const int value =
            (channel(base, shift) * (255 - share) + channel(hue, shift) * share + 127) / 255;
        mixed |= std::uint32_t(value) << shift;
    }
    return mixed;
}

} // namespace HighlightPalette
