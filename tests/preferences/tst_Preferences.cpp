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

// A window as the settings store sees it, recording where it was put.
struct FakeForm : PositionedForm {
    QString name = u"frmMain"_s;
    int minWidth = 3600;
    int minHeight = 1950;
    QString applied; // top, left, height and width
    QString Name() const override { return name; }
    int MinWidthTwips() const override { return minWidth; }
    int MinHeightTwips() const override { return minHeight; }
    void setOuterTwips(int top, int left, int height, int width) override
    {
        applied = QString::asprintf("%d %d %d %d", top, left, height, width);
    }
};

// WordWrap, DisplayHeader, FontName, FontSize and SaveText, in one line.
QString summary(const ClassPreferences &settings)
{
    return QString::asprintf("%d %d %s %d %d", settings.WordWrap(), settings.DisplayHeader(),
                             qPrintable(settings.FontName()), settings.FontSize(),
                             settings.SaveText());
}

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

// The same five as the dialog shows them, the save button as its index.
QString shown(const frmPreferences &dialog)
{
    int save = 0;
    while (save < 3 && !dialog.optSave[save]->isChecked())
        ++save;
    return QString::asprintf("%d %d %s %s %d", dialog.chkWordWrap->isChecked(),
                             dialog.chkDisplayHeader->isChecked(),
                             qPrintable(dialog.cboFontName->currentText()),
                             qPrintable(dialog.cboFontSize->currentText()), save);
}

} // namespace

class tst_Preferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadSettings_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("loaded");

        QTest::newRow("no file") << QString() << u"0 0 Courier New 8 0"_s;
        const auto row = [](const char *key, const char *text, const char *loaded) {
            QTest::addRow("%s=%s", key, text)
                << u"[Preferences]\n%1=%2\n"_s.arg(QLatin1String(key), QString::fromUtf8(text))
                << QString::fromUtf8(loaded);
        };
        // Sizes outside 7 to 12 and values that are no numbers leave the default.
        for (const char *text : {"13", "6", "abc", "8.5", "99999999999999999999", "1e999"})
            row("FontSize", text, "0 0 Courier New 8 0");
        const std::pair<const char *, const char *> sizes[] = {
            {"12", "12"},  {"9.5", "10"}, {"10pt", "10"}, {"\" 9\"", "9"},
            {"1e1", "10"}, {"7e", "7"},   {"+11", "11"},  {".9e1", "9"}};
        for (const auto &[text, size] : sizes)
            row("FontSize", text, qPrintable(u"0 0 Courier New %1 0"_s.arg(QLatin1String(size))));
        for (const char *text : {"3", "-1", "all"})
            row("SaveText", text, "0 0 Courier New 8 0");
        for (const char *text : {"2", "1.5", "2.5"})
            row("SaveText", text, "0 0 Courier New 8 2");
        for (const char *text : {"True", "1", "-1"})
            row("WordWrap", text, "1 0 Courier New 8 0");
        for (const char *text : {"TRUE", "2.5"})
            row("DisplayHeader", text, "0 1 Courier New 8 0");
        for (const char *text : {"false", "0", "yes", ""})
            row("DisplayHeader", text, "0 0 Courier New 8 0");
        row("FontName", "Liberation Sans", "0 0 Liberation Sans 8 0");
        // Names compare with case; a font that is not installed leaves the default.
        for (const char *text : {"liberation sans", "No Such Font"})
            row("FontName", text, "0 0 Courier New 8 0");
        QTest::newRow("junk lines cost nothing else")
            << u"[Preferences]\nthis is no setting\nFontSize=11\n=\nWordWrap=maybe\n"
               u"DisplayHeader=True\n[Broken\nSaveText=1\n"_s
            << u"0 1 Courier New 11 0"_s;
    }

    void loadSettings()
    {
        QFETCH(QString, file);
        QFETCH(QString, loaded);
        writeSettingsFile(file);
        ClassPreferences settings;
        settings.LoadSettings();
        QCOMPARE(summary(settings), loaded);
        QCOMPARE(readSettingsFile(), file.isNull() ? QString() : file); // loading writes nothing
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
        // The offscreen screen is 800 x 800 pixels at 96 DPI: 12000 x 12000 twips. The
        // window's minimum is 3600 x 1950.
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
        QTest::newRow("never saved") << QString() << QString();
        row("inside", "100 200 3000 5000", true);
        row("touching the bottom edge", "9000 0 3000 5000", false);
        row("one twip above the bottom edge", "9000 0 2999 5000", true);
        row("touching the right edge", "0 7000 3000 5000", false);
        row("one twip left of the right edge", "0 7000 3000 4999", true);
        row("negative top", "-1 0 3000 5000", false);
        row("negative left", "0 -15 3000 5000", false);
        row("minimum height", "0 0 1950 5000", true);
        row("one twip below minimum height", "0 0 1949 5000", false);
        row("minimum width", "0 0 3000 3600", true);
        row("one twip below minimum width", "0 0 3000 3599", false);
        row("fraction rounds half to even", "10.5 11.5 1949.5 5000", true, "10 12 1950 5000");
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

    // Byte for byte, and the values as they are: saving does not check them. A window without
    // a name, or none at all, saves nothing; what was saved comes back.
    void savesByteForByte()
    {
        writeSettingsFile(QString());
        ClassPreferences settings;
        settings.LoadSettings();
        settings.setFontSize(42);
        settings.setSaveText(-3);
        settings.setWordWrap(true);
        QVERIFY(settings.SaveSettings());
        QCOMPARE(readSettingsFile(), u"[Preferences]\nDisplayHeader=False\nFontName=Courier New\n"
                                     u"FontSize=42\nSaveText=-3\nWordWrap=True\n"_s);

        writeSettingsFile(QString());
        FakeForm find, nameless;
        find.name = u"frmFind"_s;
        nameless.name.clear();
        settings.SaveFormPosition(&find, 120, 240, 1800, 7000);
        settings.SaveFormPosition(&nameless, 1, 2, 3, 4);
        settings.SaveFormPosition(nullptr, 1, 2, 3, 4);
        QCOMPARE(readSettingsFile(), u"[Position]\nfrmFindFormHeight=1800\nfrmFindFormLeft=240\n"
                                     u"frmFindFormTop=120\nfrmFindFormWidth=7000\n"_s);
        find.minWidth = find.minHeight = 0;
        QVERIFY(settings.RestoreFormPosition(&find));
        QCOMPARE(find.applied, u"120 240 1800 7000"_s);
    }

    // The dialog shows the settings as loaded. OK and Enter save all five and apply them once;
    // every other way out changes nothing.
    void dialog_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("change");
        QTest::addColumn<QString>("saved"); // null: the file stays as it was
        QTest::addColumn<QString>("loaded");
        QTest::newRow("OK, unchanged")
            << u"ok"_s << false
            << u"[Preferences]\nDisplayHeader=False\nFontName=Liberation Serif\nFontSize=11\n"
               u"SaveText=1\nWordWrap=True\n"_s
            << u"1 0 Liberation Serif 11 1"_s;
        QTest::newRow("Enter, all changed")
            << u"enter"_s << true
            << u"[Preferences]\nDisplayHeader=True\nFontName=Liberation Sans\nFontSize=12\n"
               u"SaveText=2\nWordWrap=False\n"_s
            << u"0 1 Liberation Sans 12 2"_s;
        for (const char *how : {"cancel", "escape", "close button"})
            QTest::newRow(how) << QString::fromLatin1(how) << true << QString()
                               << u"1 0 Liberation Serif 11 1"_s;
    }

    void dialog()
    {
        QFETCH(QString, how);
        QFETCH(bool, change);
        QFETCH(QString, saved);
        QFETCH(QString, loaded);
        const QString file =
            u"[Preferences]\nWordWrap=True\nFontName=Liberation Serif\nFontSize=11\nSaveText=1\n"_s;
        int applied = 0;
        const auto dialog = openDialog(file, &applied);
        QCOMPARE(shown(*dialog), u"1 0 Liberation Serif 11 1"_s);
        if (change) {
            dialog->chkWordWrap->setChecked(false);
            dialog->chkDisplayHeader->setChecked(true);
            dialog->cboFontName->setCurrentText(u"Liberation Sans"_s);
            dialog->cboFontSize->setCurrentIndex(5);
            dialog->optSave[2]->setChecked(true);
        }
        if (how == u"ok"_s)
            QTest::mouseClick(dialog->cmdOK, Qt::LeftButton);
        else if (how == u"enter"_s)
            QTest::keyClick(dialog.get(), Qt::Key_Return);
        else if (how == u"cancel"_s)
            QTest::mouseClick(dialog->cmdCancel, Qt::LeftButton);
        else if (how == u"escape"_s)
            QTest::keyClick(dialog.get(), Qt::Key_Escape);
        else
            dialog->close();
        const bool accepted = !saved.isNull();
        QCOMPARE(dialog->result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(applied, int(accepted));
        QCOMPARE(readSettingsFile(), accepted ? saved : file);
        QCOMPARE(summary(Preferences()), loaded);
    }

    // A settings "file" that is really a folder can be neither read nor written: loading gives
    // the defaults, saving says it failed, and nothing crashes. Last, because the settings
    // library keeps a failed save pending and writes it out at the next access.
    void unusableFileKeepsDefaults()
    {
        writeSettingsFile(QString());
        QVERIFY(QDir().mkpath(settingsPath()));
        ClassPreferences settings;
        settings.setFontSize(11);
        settings.LoadSettings();
        QCOMPARE(summary(settings), u"0 0 Courier New 8 0"_s);
        QVERIFY(!settings.SaveSettings());
        FakeForm form;
        QVERIFY(!settings.RestoreFormPosition(&form));
        writeSettingsFile(QString());
    }
};

QTEST_MAIN(tst_Preferences)
#include "tst_Preferences.moc"
