#include "preferences/frmPreferences.h"

#include "platform/CenterForm.h"
#include "platform/CheckValue.h"
#include "platform/DialogLayout.h"
#include "platform/PrimaryScreen.h"
#include "platform/ScreenFonts.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "preferences/ClassPreferences.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

frmPreferences::frmPreferences(QWidget *owner, std::function<void()> applyPreferences)
    : QDialog(owner)
    , mApplyPreferences(std::move(applyPreferences))
{
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Preferences"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(true);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(DialogLayout::font());
    setFixedSize(DialogLayout::size(6975, 4470));

    fraDisplayProperties = DialogLayout::placed(
        new QGroupBox(QStringLiteral("Display Properties"), this), 120, 120, 6735, 1815);
    lblFontName = DialogLayout::placed(
        new QLabel(QStringLiteral("Font &Name:"), fraDisplayProperties), 120, 405, 855, 255);
    cboFontName = DialogLayout::placed(new QComboBox(fraDisplayProperties), 1080, 360, 3975, 315);
    lblFontSize = DialogLayout::placed(new QLabel(QStringLiteral("&Size:"), fraDisplayProperties),
                                       5040, 405, 495, 255);
    // The font name's box reaches a pixel into this label: its caption sits against its own box.
    lblFontSize->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cboFontSize = DialogLayout::placed(new QComboBox(fraDisplayProperties), 5640, 360, 855, 315);
    chkWordWrap = DialogLayout::placed(
        new QCheckBox(QStringLiteral("Word Wrap"), fraDisplayProperties), 1080, 960, 1215, 255);
    chkDisplayHeader = DialogLayout::placed(
        new QCheckBox(QStringLiteral("Display HELIX Header"), fraDisplayProperties), 1080, 1320,
        1935, 255);
    fraSaveButton = DialogLayout::placed(
        new QGroupBox(QStringLiteral("Save Button Default Behavior"), this), 120, 2160, 6735, 1575);
    const char *saveCaptions[] = {"Save Selected Text", "Save Current API", "Save All"};
    auto *saveGroup = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        optSave[i] =
            DialogLayout::placed(new QRadioButton(QLatin1String(saveCaptions[i]), fraSaveButton),
                                 240, 360 + 360 * i, 1935, 255);
        saveGroup->addButton(optSave[i], i);
    }
    cmdOK =
        DialogLayout::placed(new QPushButton(QStringLiteral("&OK"), this), 2400, 3960, 975, 375);
    cmdCancel = DialogLayout::placed(new QPushButton(QStringLiteral("&Cancel"), this), 3600, 3960,
                                     975, 375);

    lblFontName->setBuddy(cboFontName);
    lblFontSize->setBuddy(cboFontSize);
    cmdOK->setDefault(true);
    DialogLayout::tabOrder({cboFontName, cboFontSize, chkWordWrap, chkDisplayHeader, optSave[0],
                            optSave[1], optSave[2], cmdOK, cmdCancel});

    connect(cmdOK, &QPushButton::clicked, this, &frmPreferences::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    Form_Load(owner);
}

void frmPreferences::Form_Load(QWidget *owner)
{
    CenterForm(this, owner);
    for (int size = 7; size <= 12; ++size)
        cboFontSize->addItem(QString::number(size), size);
    QStringList fonts = ScreenFonts::families();
    std::sort(fonts.begin(), fonts.end(), [](const QString &a, const QString &b) {
        return QString::localeAwareCompare(a, b) < 0;
    });
    cboFontName->addItems(fonts);
    cboFontName->setCurrentIndex(-1);
    cboFontSize->setCurrentIndex(-1);
    ShowSettings();
}

void frmPreferences::ShowSettings()
{
    const ClassPreferences &settings = Preferences();
    chkWordWrap->setCheckState(
        CheckValueFromBoolean(settings.WordWrap()) == vbChecked ? Qt::Checked : Qt::Unchecked);
    chkDisplayHeader->setCheckState(
        CheckValueFromBoolean(settings.DisplayHeader()) == vbChecked ? Qt::Checked : Qt::Unchecked);
    SelectItemByText(cboFontName, settings.FontName(), false);
    SelectItemByData(cboFontSize, settings.FontSize(), false);
    const int saveText = settings.SaveText();
    if (saveText >= 0 && saveText < int(optSave.size()))
        optSave[saveText]->setChecked(true);
}

void frmPreferences::SelectItemByText(QComboBox *list, const QString &text, bool clearIfMissing)
{
    if (!list)
        return;
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemText(i) == text) {
            list->setCurrentIndex(i);
            return;
        }
    }
    if (clearIfMissing)
        list->setCurrentIndex(-1);
}

void frmPreferences::SelectItemByData(QComboBox *list, int data, bool clearIfMissing)
{
    if (!list)
        return;
    for (int i = 0; i < list->count(); ++i) {
        if (list->itemData(i).toInt() == data) {
            list->setCurrentIndex(i);
            return;
        }
    }
    if (clearIfMissing)
        list->setCurrentIndex(-1);
}

// Qt's check states are 0, 1 (partial) and 2; the settings speak 0, 1 (checked) and 2 (grey).
static int checkValue(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return vbChecked;
    case Qt::PartiallyChecked:
        return vbGrayed;
    default:
        return vbUnchecked;
    }
}

void frmPreferences::StoreSettings()
{
    ClassPreferences &settings = Preferences();
    settings.setWordWrap(BooleanFromCheckValue(checkValue(chkWordWrap)));
    settings.setDisplayHeader(BooleanFromCheckValue(checkValue(chkDisplayHeader)));
    QString name = cboFontName->currentIndex() >= 0 ? cboFontName->currentText() : QString();
    if (name.isEmpty())
        name = QStringLiteral("Courier New");
    int size = cboFontSize->currentIndex() >= 0 ? cboFontSize->currentData().toInt() : 0;
    if (size == 0)
        size = 8;
    settings.setFontName(name);
    settings.setFontSize(size);
    for (int i = 0; i < int(optSave.size()); ++i) {
        if (optSave[i]->isChecked())
            settings.setSaveText(i);
    }
    if (!settings.SaveSettings())
        QMessageBox::warning(this, QStringLiteral("HELIX Debug Display"),
                             QStringLiteral("The preferences apply now, but could not be saved "
                                            "to %1.")
                                 .arg(SettingsStore::fileName()));
}

void frmPreferences::cmdOK_Click()
{
    StoreSettings();
    if (mApplyPreferences)
        mApplyPreferences();
    accept();
}
