#pragma once

#include <QString>

#include <array>
#include <cstdint>

// One highlight rule: a line holding its text is painted in its colour, or its whole entry is.
struct HighlightRule {
    enum Scope { Line, Entry };

    QString text;
    bool matchCase = false;
    // Holds only where the rest of the line after the text is not the number 0, so that
    // "GetTag RC=" picks out the error return codes.
    bool notZero = false;
    int colour = 0; // into HighlightPalette::colours()
    Scope scope = Line;
    bool on = true;

    // How the operator and a screen reader know the rule: "GetTag RC= not 0".
    QString description() const;

    bool operator==(const HighlightRule &) const = default;
};

// Background colours for highlighted rows, each laid over the window's base colour at a
// strength that keeps the text readable on light and dark desktops alike.
namespace HighlightPalette {

struct Colour {
    const char *name;
    std::uint32_t rgb; // 0xRRGGBB
};

constexpr std::array<Colour, 8> kColours{{{"Red", 0xE5484D},
                                          {"Orange", 0xF76B15},
                                          {"Yellow", 0xE2B500},
                                          {"Green", 0x30A46C},
                                          {"Teal", 0x12A594},
                                          {"Blue", 0x0090FF},
                                          {"Purple", 0x8E4EC6},
                                          {"Grey", 0x8B8D98}}};

// The palette entry named `name` in any case; the first, Red, for any other name.
int find(QStringView name);

// A row's background: `colour` over the base colour of the window.
std::uint32_t tint(int colour, std::uint32_t base);

} // namespace HighlightPalette
