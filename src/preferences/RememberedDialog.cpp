#include "preferences/RememberedDialog.h"

#include "platform/CenterForm.h"
#include "platform/DialogLayout.h"
#include "platform/PrimaryScreen.h"
#include "platform/WindowTwips.h"
#include "preferences/ClassPreferences.h"

#include <QCloseEvent>
#include <QPointer>

RememberedDialog::RememberedDialog(const QString &name, const QString &caption, int widthTwips,
                                   int heightTwips, QSize smallestTwips)
    : QDialog(nullptr)
{
    setObjectName(name);
    setWindowTitle(caption);
    const bool resizable = smallestTwips.isValid();
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (resizable)
        flags |= Qt::WindowMaximizeButtonHint;
    else
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    setWindowFlags(flags);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(DialogLayout::font());
    if (resizable) {
        setMinimumSize(DialogLayout::size(smallestTwips.width(), smallestTwips.height()));
        resize(DialogLayout::size(widthTwips, heightTwips));
    } else {
        setFixedSize(DialogLayout::size(widthTwips, heightTwips));
    }
}

void RememberedDialog::loadPlace(QWidget *owner)
{
    mbLoaded = true;
    // The smallest size is an outer one, and the frame is known only once the window manager
    // has framed the dialog: until then the frame of a window it framed already stands in, and
    // the place is checked again when the dialog's own frame is known.
    takeMinimum(WindowTwips::knownFrame());
    placeAsSaved(owner);
    WindowTwips::whenFramed(this, [this, owner = QPointer<QWidget>(owner)](const QMargins &frame) {
        if (takeMinimum(frame))
            placeAsSaved(owner);
    });
}

bool RememberedDialog::takeMinimum(const QMargins &frame)
{
    const QSize smallest = minimumSize();
    const QRect outer =
        primaryTwipsScale().rectToTwips(QRect(0, 0, smallest.width() + frame.left() + frame.right(),
                                              smallest.height() + frame.top() + frame.bottom()));
    const bool changed = outer.width() != miMinWidthTwips || outer.height() != miMinHeightTwips;
    miMinWidthTwips = qint16(outer.width());
    miMinHeightTwips = qint16(outer.height());
    return changed;
}

void RememberedDialog::placeAsSaved(QWidget *owner)
{
    if (!Preferences().RestoreFormPosition(this))
        CenterForm(this, owner);
}

void RememberedDialog::setOuterTwips(int top, int left, int height, int width)
{
    WindowTwips::setOuterRect(this, QRect(left, top, width, height));
}

void RememberedDialog::reject()
{
    close();
}

void RememberedDialog::closeEvent(QCloseEvent *event)
{
    mbLoaded = false;
    const QRect outer = WindowTwips::outerRect(this);
    Preferences().SaveFormPosition(this, outer.y(), outer.x(), outer.height(), outer.width());
    // Not the dialog's own handling, which would turn the close into a reject.
    event->accept();
}
