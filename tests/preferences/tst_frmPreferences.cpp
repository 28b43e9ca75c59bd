#include "ClassPreferences.h"
#include "SettingsFile.h"
#include "frmPreferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

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

// Word wrap, header, font, size and the checked save button, in one line.
QString shown(const frmPreferences &dialog)
{
    int save = 0;
    while (save < 3 && !dialog.optSave[save]->isChecked())
        ++save;
    return u"%1 %2 %3 %4 %5"_s.arg(int(dialog.chkWordWrap->isChecked()))
        .arg(int(dialog.chkDisplayHeader->isChecked()))
        .arg(dialog.cboFontName->currentText(), dialog.cboFontSize->currentText())
        .arg(save);
}

void changeEverything(frmPreferences &dialog, int sizeIndex, int save)
{
    dialog.chkWordWrap->setChecked(true);
    dialog.chkDisplayHeader->setChecked(true);
    dialog.cboFontName->setCurrentText(u"Liberation Sans"_s);
    dialog.cboFontSize->setCurrentIndex(sizeIndex);
    dialog.optSave[save]->setChecked(true);
}

} // namespace

class tst_frmPreferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheSettings_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty store") << QString() << u"0 0 Courier New 8 0"_s;
        QTest::newRow("everything set")
            << u"[Preferences]\nWordWrap=True\nDisplayHeader=True\nFontName=Liberation Serif\n"
               u"FontSize=11\nSaveText=2\n"_s
            << u"1 1 Liberation Serif 11 2"_s;
    }

    void showsTheSettings()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        int applied = 0;
        const auto dialog = openDialog(file, &applied);
        QCOMPARE(shown(*dialog), expected);
        // Sizes are offered in order, each carrying its number.
        QCOMPARE(dialog->cboFontSize->count(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(dialog->cboFontSize->itemData(i).toInt(), 7 + i);
        QStringList names;
        for (int i = 0; i < dialog->cboFontName->count(); ++i)
            names << dialog->cboFontName->itemText(i);
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString &a, const QString &b) { return a.localeAwareCompare(b) < 0; });
        QCOMPARE(names, sorted);
    }

    void okSavesAllFiveAndApplies_data()
    {
        QTest::addColumn<bool>("change");
        QTest::addColumn<bool>("enterKey");
        QTest::addColumn<QString>("expected");
        QTest::newRow("unchanged, OK clicked")
            << false << false
            << u"[Preferences]\nDisplayHeader=False\nFontName=Courier New\nFontSize=8\n"
               u"SaveText=0\nWordWrap=False\n"_s;
        QTest::newRow("all changed, Enter pressed")
            << true << true
            << u"[Preferences]\nDisplayHeader=True\nFontName=Liberation Sans\nFontSize=12\n"
               u"SaveText=2\nWordWrap=True\n"_s;
    }

    void okSavesAllFiveAndApplies()
    {
        QFETCH(bool, change);
        QFETCH(bool, enterKey);
        QFETCH(QString, expected);
        int applied = 0;
        const auto dialog = openDialog(QString(), &applied);
        if (change)
            changeEverything(*dialog, 5, 2);
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

    void leavingWithoutOkChangesNothing_data()
    {
        QTest::addColumn<int>("how"); // 0 Cancel, 1 Escape, 2 the window's close button
        QTest::newRow("Cancel") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close button") << 2;
    }

    void leavingWithoutOkChangesNothing()
    {
        QFETCH(int, how);
        const QString file = u"[Preferences]\nFontSize=10\n"_s;
        int applied = 0;
        const auto dialog = openDialog(file, &applied);
        changeEverything(*dialog, 0, 1);
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
        QCOMPARE(Preferences().FontName(), u"Courier New"_s);
    }

    void layoutAndKeys()
    {
        int applied = 0;
        const auto dialog = openDialog(QString(), &applied);
        QCOMPARE(dialog->lblFontName->buddy(), dialog->cboFontName);
        QCOMPARE(dialog->lblFontSize->buddy(), dialog->cboFontSize);
        QVERIFY(!dialog->cboFontName->isEditable());
        QVERIFY(dialog->cmdOK->isDefault());
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        // Tab walks the controls in their order; the other two save buttons come between.
        const QList<QWidget *> order = {
            dialog->cboFontName, dialog->cboFontSize, dialog->chkWordWrap, dialog->chkDisplayHeader,
            dialog->optSave[0],  dialog->cmdOK,       dialog->cmdCancel};
        for (int i = 0; i + 1 < order.size(); ++i) {
            QWidget *next = order[i]->nextInFocusChain();
            while (next != order[i + 1] && next->focusPolicy() == Qt::NoFocus)
                next = next->nextInFocusChain();
            if (order[i] != dialog->optSave[0])
                QCOMPARE(next, order[i + 1]);
        }
    }
};

QTEST_MAIN(tst_frmPreferences)
#include "tst_frmPreferences.moc"
