#pragma once

#include "PositionedForm.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

// The help window: the toolbar's tools with their icons, the shortcut keys and the right-click
// menu. It opens modeless, once, and remembers where it was, also across runs.
class frmHelp : public QDialog, public PositionedForm {
    Q_OBJECT
public:
    frmHelp();

    bool mbLoaded = false;
    qint16 miMinWidthTwips = 0;
    qint16 miMinHeightTwips = 0;

    QGroupBox *fraKeys;
    QGroupBox *fraOther;
    QGroupBox *fraToolbar;
    QPushButton *cmdClose;
    std::array<QLabel *, 15> lbl{};
    std::array<QLabel *, 10> img{};

    QString Name() const override { return objectName(); }
    int MinWidthTwips() const override { return miMinWidthTwips; }
    int MinHeightTwips() const override { return miMinHeightTwips; }
    void setOuterTwips(int top, int left, int height, int width) override;

    // Enter and Esc both close the window.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
};

// Shows the help window, creating it when it is not loaded, else bringing it to the front.
void showHelpWindow();

// The help window while it is loaded, else null.
frmHelp *loadedHelpWindow();
