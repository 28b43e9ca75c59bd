#pragma once

#include <QString>

// What the settings store needs of a window whose place it saves and restores: its name, its
// smallest allowed outer size and a way to set its outer rectangle, all in twips.
class PositionedForm {
public:
    virtual ~PositionedForm() = default;
    virtual QString Name() const = 0;
    virtual int MinWidthTwips() const = 0;
    virtual int MinHeightTwips() const = 0;
    // Sets Top, Left, Height and Width, in that order.
    virtual void setOuterTwips(int top, int left, int height, int width) = 0;
};
