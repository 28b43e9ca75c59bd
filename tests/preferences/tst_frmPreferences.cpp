#include "ClassPreferences.h"
#include "SettingsFile.h"
#include "frmPreferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// Opens the dialog the way the display does: settings loaded from the file first.
std::unique_ptr<frmPreferences> openDialog(const QString &file, int *applied)
{
    writeSettingsFile(file);
    Preferences().LoadSettings();
    auto dialog = std::make_unique<frmPreferences>(nullptr, [applied] { ++*applied; });
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->show();
    return dialog;
}

int checkedSave(const frmPreferences &dialog)
{
    for (int i = 0; i < 3; ++i) {
        if (dialog.optSave[i]->isChecked())
            return i;
    }
    return -1;
}

} // namespace

class tst_frmPreferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheSettings_data();
    void showsTheSettings();
    void okSavesAllFiveAndApplies_data();
    void okSavesAllFiveAndApplies();
    void leavingWithoutOkChangesNothing_data();
    void leavingWithoutOkChangesNothing();
    void layoutAndKeys();
};

void tst_frmPreferences::showsTheSettings_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("wordWrap");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QString>("font");
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("save");
    QTest::newRow("empty store") << QString() << false << false << QStringLiteral("Courier New")
                                 << QStringLiteral("8") << 0;
    QTest::newRow("everything set")
        << QStringLiteral("[Preferences]\nWordWrap=True\nDisplayHeader=True\n"
                          "FontName=Liberation Serif\nFontSize=11\nSaveText=2\n")
        << true << true << QStringLiteral("Liberation Serif") << QStringLiteral("11") << 2;
    QTest::newRow("current entry")
        << QStringLiteral("[Preferences]\nSaveText=1\nFontSize=12\n") << false << false
        << QStringLiteral("Courier New") << QStringLiteral("12") << 1;
}

void tst_frmPreferences::showsTheSettings()
{
    QFETCH(QString, file);
    QFETCH(bool, wordWrap);
    QFETCH(bool, header);
    QFETCH(QString, font);
    QFETCH(QString, size);
    QFETCH(int, save);
    int applied = 0;
    const auto dialog = openDialog(file, &applied);
    QCOMPARE(dialog->chkWordWrap->isChecked(), wordWrap);
    QCOMPARE(dialog->chkDisplayHeader->isChecked(), header);
    QCOMPARE(dialog->cboFontName->currentText(), font);
    QCOMPARE(dialog->cboFontSize->currentText(), size);
    QCOMPARE(checkedSave(*dialog), save);
    // Sizes are offered in order, each carrying its number.
    QCOMPARE(dialog->cboFontSize->count(), 6);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(dialog->cboFontSize->itemData(i).toInt(), 7 + i);
    // Font names come sorted.
    QStringList names;
    for (int i = 0; i < dialog->cboFontName->count(); ++i)
        names << dialog->cboFontName->itemText(i);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString &a, const QString &b) { return a.localeAwareCompare(b) < 0; });
    QCOMPARE(names, sorted);
}

void tst_frmPreferences::okSavesAllFiveAndApplies_data()
{
    QTest::addColumn<bool>("change");
    QTest::addColumn<bool>("enterKey");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unchanged, OK clicked")
        << false << false
        << QStringLiteral("[Preferences]\nDisplayHeader=False\nFontName=Courier New\nFontSize=8\n"
                          "SaveText=0\nWordWrap=False\n");
    QTest::newRow("all changed, Enter pressed")
        << true << true
        << QStringLiteral("[Preferences]\nDisplayHeader=True\nFontName=Liberation Sans\n"
                          "FontSize=12\nSaveText=2\nWordWrap=True\n");
}

void tst_frmPreferences::okSavesAllFiveAndApplies()
{
    QFETCH(bool, change);
    QFETCH(bool, enterKey);
    QFETCH(QString, expected);
    int applied = 0;
    const auto dialog = openDialog(QString(), &applied);
    if (change) {
        dialog->chkWordWrap->setChecked(true);
        dialog->chkDisplayHeader->setChecked(true);
        dialog->cboFontName->setCurrentText(QStringLiteral("Liberation Sans"));
        dialog->cboFontSize->setCurrentIndex(5);
        dialog->optSave[2]->setChecked(true);
    }
    if (enterKey)
        QTest::keyClick(dialog.get(), Qt::Key_Return);
    else
        QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
    QCOMPARE(applied, 1);
    QCOMPARE(readSettingsFile(), expected);
    QCOMPARE(Preferences().SaveText(), change ? 2 : 0);
    QCOMPARE(Preferences().FontSize(), change ? 12 : 8);
}

void tst_frmPreferences::leavingWithoutOkChangesNothing_data()
{
    QTest::addColumn<int>("how"); // 0 Cancel, 1 Escape, 2 the window's close button
    QTest::newRow("Cancel") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close button") << 2;
}

void tst_frmPreferences::leavingWithoutOkChangesNothing()
{
    QFETCH(int, how);
    const QString file = QStringLiteral("[Preferences]\nFontSize=10\n");
    int applied = 0;
    const auto dialog = openDialog(file, &applied);
    dialog->chkWordWrap->setChecked(true);
    dialog->chkDisplayHeader->setChecked(true);
    dialog->cboFontName->setCurrentText(QStringLiteral("Liberation Sans"));
    dialog->cboFontSize->setCurrentIndex(0);
    dialog->optSave[1]->setChecked(true);
    if (how == 0)
        QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
    else if (how == 1)
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
    else
        dialog->close();
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(applied, 0);
    QCOMPARE(readSettingsFile(), file);
    QCOMPARE(Preferences().FontSize(), 10);
    QCOMPARE(Preferences().WordWrap(), false);
    QCOMPARE(Preferences().SaveText(), 0);
    QCOMPARE(Preferences().FontName(), QStringLiteral("Courier New"));
}

void tst_frmPreferences::layoutAndKeys()
{
    int applied = 0;
    const auto dialog = openDialog(QString(), &applied);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Preferences"));
    QCOMPARE(dialog->lblFontName->text(), QStringLiteral("Font &Name:"));
    QCOMPARE(dialog->lblFontName->buddy(), dialog->cboFontName);
    QCOMPARE(dialog->lblFontSize->buddy(), dialog->cboFontSize);
    QVERIFY(!dialog->cboFontName->isEditable());
    QVERIFY(dialog->cmdOK->isDefault());
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    // Tab walks the controls in their order.
    const QList<QWidget *> order = {
        dialog->cboFontName, dialog->cboFontSize, dialog->chkWordWrap, dialog->chkDisplayHeader,
        dialog->optSave[0],  dialog->cmdOK,       dialog->cmdCancel};
    for (int i = 0; i + 1 < order.size(); ++i) {
        QWidget *next = order[i]->nextInFocusChain();
        while (next != order[i + 1] && next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        if (order[i] == dialog->optSave[0]) // the other two buttons of the group come between
            continue;
        QCOMPARE(next, order[i + 1]);
    }
}

QTEST_MAIN(tst_frmPreferences)
#include "tst_frmPreferences.moc"
