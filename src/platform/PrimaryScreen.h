#pragma once

#include "platform/Twips.h"

// The primary screen, on which every window is placed and measured.

// Its scale; 96 DPI when there is no screen at all.
TwipsScale primaryTwipsScale();

// Its size in twips (0 x 0 when there is no screen).
ScreenTwips primaryScreenTwips();
