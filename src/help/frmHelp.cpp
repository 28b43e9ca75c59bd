#include "help/frmHelp.h"

#include "platform/DialogLayout.h"
#include "platform/ToolIcons.h"

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {

QPointer<frmHelp> &helpWindowSlot()
{
    static QPointer<frmHelp> window;
    return window;
}

struct ToolRow {
    int imageLeft;
    int top;
    int labelWidth;
    const char *text;
    const char *tool;
};

constexpr ToolRow kToolRows[] = {
    {240, 480, 1335, "Go to first API", "tbrFirst"},
    {240, 840, 1335, "Go to previous API", "tbrUp"},
    {240, 1200, 1335, "Go to next API", "tbrDown"},
    {240, 1560, 1335, "Go to last API", "tbrLast"},
    {2520, 480, 1335, "Opens Find dialog", "tbrFind"},
    {2520, 840, 3135, "Copies selected lines to Windows Clipboard", "tbrCopy"},
    {2520, 1200, 3135, "Saves Selected/Current/All lines to file", "tbrSave"},
    {2520, 1560, 1335, "Clears display", "tbrClear"},
    {6480, 480, 1935, "Opens Preferences dialog", "tbrSettings"},
    {6480, 840, 1335, "Opens Help dialog", "tbrHelp"},
};

constexpr const char *kKeys[] = {
    "CTRL-C: Copies selected lines to Windows Clipboard",
    "CTRL-F: Opens Find dialog",
    "        F3: Repeats last search, going down and wrapping",
    "Shift-F3: Repeats last search, going up and wrapping",
};

} // namespace

frmHelp::frmHelp()
    : RememberedDialog(QStringLiteral("frmHelp"), QStringLiteral("HELIX Debug Help"), 9255, 4215)
{

    fraKeys = DialogLayout::placed(new QGroupBox(QStringLiteral("Keyboard Shortcuts"), this), 120,
                                   120, 4455, 1815);
    fraOther =
        DialogLayout::placed(new QGroupBox(QStringLiteral("Other"), this), 4800, 120, 3255, 1815);
    fraToolbar =
        DialogLayout::placed(new QGroupBox(QStringLiteral("Toolbar"), this), 120, 2040, 9015, 1800);
    cmdClose =
        DialogLayout::placed(new QPushButton(QStringLiteral("&Close"), this), 8280, 240, 855, 375);
    cmdClose->setDefault(true);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);

    for (int i = 0; i < 4; ++i)
        lbl[i] = DialogLayout::placed(new QLabel(QLatin1String(kKeys[i]), fraKeys), 240,
                                      360 + 360 * i, 4095, 255);
    for (int i = 0; i < 10; ++i) {
        const ToolRow &row = kToolRows[i];
        img[i] = DialogLayout::placed(new QLabel(fraToolbar), row.imageLeft, row.top, 240, 240);
        img[i]->setPixmap(ToolIcons::icon(QLatin1String(row.tool)).pixmap(16, 16));
        lbl[4 + i] = DialogLayout::placed(new QLabel(QLatin1String(row.text), fraToolbar),
                                          row.imageLeft + 360, row.top, row.labelWidth, 255);
    }
    lbl[14] = new QLabel(QStringLiteral("Right-clicking on the main display will bring up "
                                        "a popup menu with all Copy and Save options"),
                         fraOther);
    lbl[14]->setWordWrap(true);
    DialogLayout::placed(lbl[14], 240, 360, 2775, 615);

    helpWindowSlot() = this;
    loadPlace(nullptr);
}

frmHelp *loadedHelpWindow()
{
    frmHelp *window = helpWindowSlot().data();
    return window && window->mbLoaded ? window : nullptr;
}

void showHelpWindow()
{
    frmHelp *window = loadedHelpWindow();
    if (!window)
        window = new frmHelp;
    window->show();
    window->raise();
    window->activateWindow();
}
