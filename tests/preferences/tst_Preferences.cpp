#include "SettingsFile.h"
#include "platform/PositionedForm.h"
#include "preferences/ClassPreferences.h"
#include "preferences/frmPreferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// A window as the settings store sees it, at least 3600 x 1950 twips, recording where it was put.
struct FakeForm : PositionedForm {
    QList<int> applied; // top, left, height and width
    QString Name() const override { return u"frmMain"_s; }
    int MinWidthTwips() const override { return 3600; }
    int MinHeightTwips() const override { return 1950; }
    void setOuterTwips(int t, int l, int h, int w) override { applied = {t, l, h, w}; }
};

// All five settings, so that a value read into the wrong one shows too.
QString summary(const ClassPreferences &s)
{
    return QString::asprintf("%d %d %s %d %d", s.WordWrap(), s.DisplayHeader(),
                             qPrintable(s.FontName()), s.FontSize(), s.SaveText());
}

} // namespace

class tst_Preferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadAndRestore_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("loaded");     // summary()
        QTest::addColumn<QList<int>>("applied"); // top, left, height, width; empty: not restored
        const auto rows = [](const char *key, const char *texts, const char *loaded) {
            for (const QString &text : QString::fromUtf8(texts).split(u'|'))
                QTest::addRow("%s=%s", key, qPrintable(text))
                    << u"[Preferences]\n%1=%2\n"_s.arg(QLatin1String(key), text) << loaded
                    << QList<int>();
        };
        // Sizes outside 7 to 12 and non-numbers leave the default (the fuzz oracle proves parsing).
        rows("FontSize", "13|6|abc|8.5|99999999999999999999", "0 0 Courier New 8 0");
        rows("FontSize", "12", "0 0 Courier New 12 0");
        rows("FontSize", "9.5|10pt", "0 0 Courier New 10 0");
        rows("FontSize", "\" 9\"", "0 0 Courier New 9 0");
        rows("SaveText", "3|-1", "0 0 Courier New 8 0");
        rows("SaveText", "2", "0 0 Courier New 8 2");
        rows("WordWrap", "True|1|-1", "1 0 Courier New 8 0");
        rows("DisplayHeader", "TRUE|2.5", "0 1 Courier New 8 0");
        rows("DisplayHeader", "false|0|yes||inf", "0 0 Courier New 8 0");
        rows("FontName", "Liberation Sans", "0 0 Liberation Sans 8 0");
        // Names compare with case; a font that is not installed leaves the default.
        rows("FontName", "liberation sans|No Such Font", "0 0 Courier New 8 0");
        // Stored top, left, height and width; the offscreen screen is 12000 x 12000 twips.
        const auto row = [](const char *name, const char *stored, const QList<int> &applied) {
            const QStringList v = QString::fromLatin1(stored).split(u' ');
            const QString keys = u"[Position]\n%1Top=%2\n%1Left=%3\n%1Height=%4\n%1Width=%5\n"_s;
            QTest::newRow(name) << keys.arg(u"frmMainForm"_s, v[0], v[1], v[2], v[3])
                                << "0 0 Courier New 8 0" << applied;
        };
        row("touching the bottom edge", "9000 0 3000 5000", {});
        row("one twip above the bottom edge", "9000 0 2999 5000", {9000, 0, 2999, 5000});
        row("touching the right edge", "0 7000 3000 5000", {});
        row("one twip left of the right edge", "0 7000 3000 4999", {0, 7000, 3000, 4999});
        row("negative top", "-1 0 3000 5000", {});
        row("negative left", "0 -15 3000 5000", {});
        row("one twip below minimum height", "0 0 1949 5000", {});
        row("one twip below minimum width", "0 0 3000 3599", {});
        row("halves to even, onto the minimum size", "10.5 11.5 1949.5 3600", {10, 12, 1950, 3600});
        row("value beyond 32 bits", "0 0 3000 99999999999", {});
        row("junk reads as 0", "top 0 3000 5000", {0, 0, 3000, 5000});
    }

    void loadAndRestore()
    {
        QFETCH(QString, file);
        QFETCH(QList<int>, applied);
        writeSettingsFile(file);
        ClassPreferences settings;
        settings.LoadSettings();
        QTEST(summary(settings), "loaded");
        FakeForm form;
        QCOMPARE(settings.RestoreFormPosition(&form), !applied.isEmpty());
        QCOMPARE(form.applied, applied);
        QCOMPARE(readSettingsFile(), file); // neither writes anything
    }

    void fontFallsBackWhenNothingMatches()
    {
        writeSettingsFile(u"[Preferences]\nFontName=Gone\n"_s);
        ClassPreferences settings([] { return QStringList{u"DejaVu Sans"_s}; });
        settings.LoadSettings();
        QCOMPARE(settings.FontName(), u"MS Sans Serif"_s);
    }

    // Shows the settings as loaded; Cancel changes nothing (the second showing proves it kept
    // them); Enter (OK is the default) saves all five and applies them once.
    void dialog()
    {
        const QString file =
            u"[Preferences]\nWordWrap=True\nFontName=Liberation Serif\nFontSize=11\nSaveText=1\n"_s;
        writeSettingsFile(file);
        Preferences().LoadSettings();
        int applied = 0;
        for (const bool accept : {false, true}) {
            frmPreferences dialog(nullptr, [&applied] { ++applied; });
            dialog.setAttribute(Qt::WA_DeleteOnClose, false);
            dialog.show();
            QVERIFY(dialog.chkWordWrap->isChecked() && !dialog.chkDisplayHeader->isChecked());
            QCOMPARE(dialog.cboFontName->currentText(), u"Liberation Serif"_s);
            QCOMPARE(dialog.cboFontSize->currentText(), u"11"_s);
            QVERIFY(dialog.optSave[1]->isChecked());
            dialog.chkWordWrap->setChecked(false);
            dialog.chkDisplayHeader->setChecked(true);
            dialog.cboFontName->setCurrentText(u"Liberation Sans"_s);
            dialog.cboFontSize->setCurrentIndex(5);
            dialog.optSave[2]->setChecked(true);
            accept ? QTest::keyClick(&dialog, Qt::Key_Return)
                   : QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
            QCOMPARE(applied, int(accept));
            QCOMPARE(readSettingsFile(),
                     accept ? u"[Preferences]\nDisplayHeader=True\nFontName=Liberation Sans\n"
                              u"FontSize=12\nSaveText=2\nWordWrap=False\n"_s
                            : file);
        }
        QCOMPARE(summary(Preferences()), u"0 1 Liberation Sans 12 2"_s);
    }

    // A folder in the file's place: loading gives the defaults, saving fails. Last, because the
    // settings library keeps a failed save pending and writes it out at the next access.
    void unusableFileKeepsDefaults()
    {
        writeSettingsFile(QString());
        QVERIFY(QDir().mkpath(settingsPath()));
        ClassPreferences settings;
        settings.setFontSize(11);
        settings.LoadSettings();
        QCOMPARE(summary(settings), u"0 0 Courier New 8 0"_s);
        QVERIFY(!settings.SaveSettings());
        writeSettingsFile(QString());
    }
};

QTEST_MAIN(tst_Preferences)
#include "tst_Preferences.moc"
