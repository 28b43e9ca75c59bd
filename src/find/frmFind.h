#pragma once

#include "PositionedForm.h"

#include <QDialog>

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
class frmFind : public QDialog, public PositionedForm {
    Q_OBJECT
public:
    // `mainWindow` is the window the dialog opens over when it has no saved place.
    explicit frmFind(QWidget *mainWindow);

    void InitFindDialog(const QString &text, bool wholeWord, bool matchCase, int direction);

    bool mbLoaded = false;
    qint16 miMinWidthTwips = 0;
    qint16 miMinHeightTwips = 0;

    QLabel *lblText;
    // The find-text box, one line in the display's font.
    QLineEdit *vsf;
    QCheckBox *chkWhole;
    QCheckBox *chkCase;
    QGroupBox *fra;
    std::array<QRadioButton *, 2> opt;
    QPushButton *cmdFind;
    QPushButton *cmdCancel;

    QString Name() const override { return objectName(); }
    int MinWidthTwips() const override { return miMinWidthTwips; }
    int MinHeightTwips() const override { return miMinHeightTwips; }
    void setOuterTwips(int top, int left, int height, int width) override;

    // Esc closes the dialog like its Cancel button.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load(QWidget *mainWindow);
    void cmdFind_Click();
};

// The Find dialog while it is loaded, else null.
frmFind *loadedFindDialog();
