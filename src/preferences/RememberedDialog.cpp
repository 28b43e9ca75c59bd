#include "preferences/RememberedDialog.h"

#include "platform/CenterForm.h"
#include "platform/DialogLayout.h"
#include "platform/PrimaryScreen.h"
#include "platform/WindowTwips.h"
#include "preferences/ClassPreferences.h"

#include <QCloseEvent>

RememberedDialog::RememberedDialog(const QString &name, const QString &caption, int widthTwips,
                                   int heightTwips)
    : QDialog(nullptr)
{
    setObjectName(name);
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(DialogLayout::font());
    const TwipsScale scale = primaryTwipsScale();
    setFixedSize(scale.xToPixels(widthTwips), scale.yToPixels(heightTwips));
}

void RememberedDialog::loadPlace(QWidget *owner)
{
    mbLoaded = true;
    const QRect outer = WindowTwips::outerRect(this);
    miMinWidthTwips = qint16(outer.width());
    miMinHeightTwips = qint16(outer.height());
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
