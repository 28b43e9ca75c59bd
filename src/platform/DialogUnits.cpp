#include "platform/DialogUnits.h"

DialogScale DialogScale::forFace(int alphabetWidth, int height, const TwipsScale &screen)
{
    // Unlike Windows, the average is not rounded to whole pixels: faces here differ from the
    // designed one by fractions of a pixel that add up over a caption.
    const double average = alphabetWidth / 52.0;
    return {average * screen.perPixelX / 90.0, height * screen.perPixelY / 195.0};
}
