#pragma once

#include "preferences/RememberedDialog.h"

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modeless Find dialog: the text to find in the display's font, whole-word and case
// options and the direction. It hands them to the search and asks it to search; it stays open
// for the next Find Next and remembers where it was, also across runs.
class frmFind : public RememberedDialog {
    Q_OBJECT
public:
    // `mainWindow` is the window the dialog opens over when it has no saved place.
    explicit frmFind(QWidget *mainWindow);

    void InitFindDialog(const QString &text, bool wholeWord, bool matchCase, int direction);

    QLabel *lblText;
    // The find-text box, one line in the display's font.
    QLineEdit *vsf;
    QCheckBox *chkWhole;
    QCheckBox *chkCase;
    QGroupBox *fra;
    std::array<QRadioButton *, 2> opt;
    QPushButton *cmdFind;
    QPushButton *cmdCancel;

private:
    void Form_Load(QWidget *mainWindow);
    void cmdFind_Click();
};

// The Find dialog while it is loaded, else null.
frmFind *loadedFindDialog();
