#pragma once

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The modal dialog in which the operator edits the five display preferences. OK stores and
// saves them and has the display apply them at once; Cancel, Escape and the close button
// change nothing.
class frmPreferences : public QDialog {
    Q_OBJECT
public:
    // `owner` is the window the dialog is centred over; `applyPreferences` runs after OK has
    // stored the settings.
    frmPreferences(QWidget *owner, std::function<void()> applyPreferences);

    void ShowSettings();
    void StoreSettings();

    // Select the first entry whose text (or item data) matches; when none does, clear the
    // selection only if asked to.
    static void SelectItemByText(QComboBox *list, const QString &text, bool clearIfMissing);
    static void SelectItemByData(QComboBox *list, int data, bool clearIfMissing);

    QGroupBox *fraDisplayProperties;
    QLabel *lblFontName;
    QComboBox *cboFontName;
    QLabel *lblFontSize;
    QComboBox *cboFontSize;
    QCheckBox *chkWordWrap;
    QCheckBox *chkDisplayHeader;
    QGroupBox *fraSaveButton;
    std::array<QRadioButton *, 3> optSave;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

private:
    void Form_Load(QWidget *owner);
    void cmdOK_Click();

    std::function<void()> mApplyPreferences;
};
