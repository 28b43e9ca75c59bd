#include "platform/CenterForm.h"

#include "platform/PrimaryScreen.h"

#include <QWidget>

FormRectTwips formRectTwips(const QWidget *widget)
{
    const TwipsScale scale = primaryTwipsScale();
    const QRect frame = widget->frameGeometry();
    return {frame.x() * scale.perPixelX, frame.y() * scale.perPixelY,
            frame.width() * scale.perPixelX, frame.height() * scale.perPixelY};
}

void CenterForm(QWidget *frm, const QWidget *owner)
{
    if (!frm)
        return;
    const ScreenTwips screen = primaryScreenTwips();
    std::optional<FormRectTwips> ownerRect;
    if (owner)
        ownerRect = formRectTwips(owner);
    const auto position =
        centerFormPosition(screen.width, screen.height, formRectTwips(frm), ownerRect);
    if (!position)
        return;
    const TwipsScale scale = primaryTwipsScale();
    frm->move(scale.xToPixels(position->x()), scale.yToPixels(position->y()));
}
