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
    QString applied; // top, left, height and width
    QString Name() const override { return u"frmMain"_s; }
    int MinWidthTwips() const override { return 3600; }
    int MinHeightTwips() const override { return 1950; }
    void setOuterTwips(int top, int left, int height, int width) override
    {
        applied = QString::asprintf("%d %d %d %d", top, left, height, width);
    }
};

// The whole state, WordWrap, DisplayHeader, FontName, FontSize and SaveText, so that a value
// read into the wrong setting shows too.
QString summary(const ClassPreferences &settings)
{
    return QString::asprintf("%d %d %s %d %d", settings.WordWrap(), settings.DisplayHeader(),
                             qPrintable(settings.FontName()), settings.FontSize(),
                             settings.SaveText());
}

} // namespace

class tst_Preferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadSettings_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("loaded");
        const auto rows = [](const char *key, std::initializer_list<const char *> texts,
                             const char *loaded) {
            for (const char *text : texts)
                QTest::addRow("%s=%s", key, text)
                    << u"[Preferences]\n%1=%2\n"_s.arg(QLatin1String(key), QString::fromUtf8(text))
                    << QString::fromUtf8(loaded);
        };
        // Sizes outside 7 to 12 and values that are no numbers leave the default.
        rows("FontSize", {"13", "6", "abc", "8.5", "99999999999999999999"}, "0 0 Courier New 8 0");
        // How numbers are read is proved by the setting-text fuzz target's oracle.
        const std::pair<const char *, const char *> sizes[] = {
            {"12", "12"}, {"9.5", "10"}, {"10pt", "10"}, {"\" 9\"", "9"}};
        for (const auto &[text, size] : sizes)
            rows("FontSize", {text},
                 qPrintable(u"0 0 Courier New %1 0"_s.arg(QLatin1String(size))));
        rows("SaveText", {"3", "-1"}, "0 0 Courier New 8 0");
        rows("SaveText", {"2"}, "0 0 Courier New 8 2");
        rows("WordWrap", {"True", "1", "-1"}, "1 0 Courier New 8 0");
        rows("DisplayHeader", {"TRUE", "2.5"}, "0 1 Courier New 8 0");
        rows("DisplayHeader", {"false", "0", "yes", "", "inf"}, "0 0 Courier New 8 0");
        rows("FontName", {"Liberation Sans"}, "0 0 Liberation Sans 8 0");
        // Names compare with case; a font that is not installed leaves the default.
        rows("FontName", {"liberation sans", "No Such Font"}, "0 0 Courier New 8 0");
    }

    void loadSettings()
    {
        QFETCH(QString, file);
        writeSettingsFile(file);
        ClassPreferences settings;
        settings.LoadSettings();
        QTEST(summary(settings), "loaded");
        QCOMPARE(readSettingsFile(), file); // loading writes nothing
    }

    void fontFallsBackWhenNothingMatches()
    {
        writeSettingsFile(u"[Preferences]\nFontName=Gone\n"_s);
        ClassPreferences settings([] { return QStringList{u"DejaVu Sans"_s}; });
        settings.LoadSettings();
        QCOMPARE(settings.FontName(), u"MS Sans Serif"_s);
    }

    void restoreFormPosition_data()
    {
        // The offscreen screen is 800 x 800 pixels at 96 DPI: 12000 x 12000 twips.
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("applied"); // top, left, height and width; empty: not restored
        // Stored as top, left, height and width; applied as stored unless said otherwise.
        const auto row =
            [](const char *name, const char *stored, bool restored, const char *applied = nullptr) {
                const QStringList v = QString::fromLatin1(stored).split(u' ');
                QTest::newRow(name)
                    << u"[Position]\nfrmMainFormTop=%1\nfrmMainFormLeft=%2\n"
                       u"frmMainFormHeight=%3\nfrmMainFormWidth=%4\n"_s.arg(v[0], v[1], v[2], v[3])
                    << QString::fromLatin1(restored ? (applied ? applied : stored) : "");
            };
        row("touching the bottom edge", "9000 0 3000 5000", false);
        row("one twip above the bottom edge", "9000 0 2999 5000", true);
        row("touching the right edge", "0 7000 3000 5000", false);
        row("one twip left of the right edge", "0 7000 3000 4999", true);
        row("negative top", "-1 0 3000 5000", false);
        row("negative left", "0 -15 3000 5000", false);
        row("one twip below minimum height", "0 0 1949 5000", false);
        row("one twip below minimum width", "0 0 3000 3599", false);
        row("fractions round half to even, onto the minimum size", "10.5 11.5 1949.5 3600", true,
            "10 12 1950 3600");
        row("value beyond 32 bits", "0 0 3000 99999999999", false);
        row("junk reads as 0", "top 0 3000 5000", true, "0 0 3000 5000");
    }

    void restoreFormPosition()
    {
        QFETCH(QString, file);
        QFETCH(QString, applied);
        writeSettingsFile(file);
        FakeForm form;
        QCOMPARE(ClassPreferences().RestoreFormPosition(&form), !applied.isEmpty());
        QCOMPARE(form.applied, applied);
    }

    // The dialog shows the settings as loaded. Enter (OK is the default button) saves all five
    // and applies them once; Cancel changes nothing.
    void dialog_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("Enter") << true;
        QTest::newRow("Cancel") << false;
    }

    void dialog()
    {
        QFETCH(bool, accept);
        const QString file =
            u"[Preferences]\nWordWrap=True\nFontName=Liberation Serif\nFontSize=11\nSaveText=1\n"_s;
        writeSettingsFile(file);
        Preferences().LoadSettings();
        int applied = 0;
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
        if (accept)
            QTest::keyClick(&dialog, Qt::Key_Return);
        else
            QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
        QCOMPARE(applied, int(accept));
        QCOMPARE(readSettingsFile(),
                 accept ? u"[Preferences]\nDisplayHeader=True\nFontName=Liberation Sans\n"
                          u"FontSize=12\nSaveText=2\nWordWrap=False\n"_s
                        : file);
        QCOMPARE(summary(Preferences()),
                 accept ? u"0 1 Liberation Sans 12 2"_s : u"1 0 Liberation Serif 11 1"_s);
    }

    // A settings "file" that is really a folder can be neither read nor written: loading gives
    // the defaults, as a missing file does; saving says it failed, and nothing crashes. Last,
    // because the settings library keeps a failed save pending and writes it out at the next
    // access.
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
