#pragma once

#include "platform/Twips.h"

// Windows lays dialogs out in units that follow the dialog's face, and the designed layouts, in
// twips, suit a face whose average character is 90 twips wide (6 pixels at 96 dpi) and whose
// line is 195 twips high. In another face a dialog grows, or shrinks, by the ratio of the two.
struct DialogScale {
    double x = 1.0;
    double y = 1.0;

    // alphabetWidth: the width of "A".."Z" followed by "a".."z", height: the line height, both
    // in pixels of `screen`.
    static DialogScale forFace(int alphabetWidth, int height, const TwipsScale &screen);
};
