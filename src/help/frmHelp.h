#pragma once

#include "preferences/RememberedDialog.h"

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

// The help window: the toolbar's tools with their icons, the shortcut keys and the right-click
// menu. It opens modeless, once, and remembers where it was, also across runs.
class frmHelp : public RememberedDialog {
    Q_OBJECT
public:
    frmHelp();

    QGroupBox *fraKeys;
    QGroupBox *fraOther;
    QGroupBox *fraToolbar;
    QPushButton *cmdClose;
    std::array<QLabel *, 15> lbl{};
    std::array<QLabel *, 10> img{};
};

// Shows the help window, creating it when it is not loaded, else bringing it to the front.
void showHelpWindow();

// The help window while it is loaded, else null.
frmHelp *loadedHelpWindow();
