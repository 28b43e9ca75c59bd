#include "ClassPreferences.h"
#include "PositionedForm.h"
#include "SettingsFile.h"
#include "frmPreferences.h"

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
    QList<int> applied; // top, left, height, width
    QString Name() const override { return name; }
    int MinWidthTwips() const override { return minWidth; }
    int MinHeightTwips() const override { return minHeight; }
    void setOuterTwips(int top, int left, int height, int width) override
    {
        applied = {top, left, height, width};
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

    // Byte for byte, and the values as they are: saving does not check them.
    void saveSettingsAfterEmptyLoad()
    {
        writeSettingsFile(QString());
        ClassPreferences settings;
        settings.LoadSettings();
        QVERIFY(settings.SaveSettings());
        QCOMPARE(readSettingsFile(), u"[Preferences]\nDisplayHeader=False\nFontName=Courier New\n"
                                     u"FontSize=8\nSaveText=0\nWordWrap=False\n"_s);
        settings.setFontSize(42);
        settings.setSaveText(-3);
        settings.setWordWrap(true);
        QVERIFY(settings.SaveSettings());
        QCOMPARE(readSettingsFile(), u"[Preferences]\nDisplayHeader=False\nFontName=Courier New\n"
                                     u"FontSize=42\nSaveText=-3\nWordWrap=True\n"_s);
    }

    void restoreFormPosition_data()
    {
        // The offscreen screen is 800 x 800 pixels at 96 DPI: 12000 x 12000 twips. The
        // window's minimum is 3600 x 1950.
        QTest::addColumn<QString>("file");
        QTest::addColumn<QList<int>>("applied"); // top, left, height, width; empty: not restored

        const auto position = [](const QString &top, const QString &left, const QString &height,
                                 const QString &width) {
            return u"[Position]\nfrmMainFormTop=%1\nfrmMainFormLeft=%2\nfrmMainFormHeight=%3\n"
                   u"frmMainFormWidth=%4\n"_s.arg(top, left, height, width);
        };
        const auto row = [&](const char *name, int top, int left, int height, int width,
                             bool restored) {
            QTest::newRow(name) << position(QString::number(top), QString::number(left),
                                            QString::number(height), QString::number(width))
                                << (restored ? QList<int>{top, left, height, width} : QList<int>{});
        };
        QTest::newRow("never saved") << QString() << QList<int>{};
        row("inside", 100, 200, 3000, 5000, true);
        row("touching the bottom edge", 9000, 0, 3000, 5000, false);
        row("one twip above the bottom edge", 9000, 0, 2999, 5000, true);
        row("touching the right edge", 0, 7000, 3000, 5000, false);
        row("one twip left of the right edge", 0, 7000, 3000, 4999, true);
        row("negative top", -1, 0, 3000, 5000, false);
        row("negative left", 0, -15, 3000, 5000, false);
        row("minimum height", 0, 0, 1950, 5000, true);
        row("one twip below minimum height", 0, 0, 1949, 5000, false);
        row("minimum width", 0, 0, 3000, 3600, true);
        row("one twip below minimum width", 0, 0, 3000, 3599, false);
        QTest::newRow("fraction rounds half to even")
            << position(u"10.5"_s, u"11.5"_s, u"1949.5"_s, u"5000"_s)
            << QList<int>{10, 12, 1950, 5000};
        QTest::newRow("value beyond 32 bits")
            << position(u"0"_s, u"0"_s, u"3000"_s, u"99999999999"_s) << QList<int>{};
        QTest::newRow("junk reads as 0")
            << position(u"top"_s, u"0"_s, u"3000"_s, u"5000"_s) << QList<int>{0, 0, 3000, 5000};
    }

    void restoreFormPosition()
    {
        QFETCH(QString, file);
        QFETCH(QList<int>, applied);
        writeSettingsFile(file);
        FakeForm form;
        QCOMPARE(ClassPreferences().RestoreFormPosition(&form), !applied.isEmpty());
        QCOMPARE(form.applied, applied);
    }

    void saveFormPosition()
    {
        writeSettingsFile(QString());
        ClassPreferences settings;
        FakeForm find, nameless;
        find.name = u"frmFind"_s;
        nameless.name.clear();
        settings.SaveFormPosition(&find, 120, 240, 1800, 7000);
        settings.SaveFormPosition(&nameless, 1, 2, 3, 4);
        settings.SaveFormPosition(nullptr, 1, 2, 3, 4);
        QCOMPARE(readSettingsFile(), u"[Position]\nfrmFindFormHeight=1800\nfrmFindFormLeft=240\n"
                                     u"frmFindFormTop=120\nfrmFindFormWidth=7000\n"_s);
        // What was saved comes back.
        find.minWidth = find.minHeight = 0;
        QVERIFY(settings.RestoreFormPosition(&find));
        QCOMPARE(find.applied, (QList<int>{120, 240, 1800, 7000}));
    }

    // A settings "file" that is really a folder can be neither read nor written: loading gives
    // the defaults, saving says it failed, and nothing crashes.
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

    void dialogShowsTheSettings_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty store") << QString() << u"0 0 Courier New 8 0"_s;
        QTest::newRow("everything set")
            << u"[Preferences]\nWordWrap=True\nDisplayHeader=True\nFontName=Liberation Serif\n"
               u"FontSize=11\nSaveText=2\n"_s
            << u"1 1 Liberation Serif 11 2"_s;
    }

    void dialogShowsTheSettings()
    {
        QFETCH(QString, file);
        QFETCH(QString, expected);
        int applied = 0;
        QCOMPARE(shown(*openDialog(file, &applied)), expected);
    }

    // OK and Enter save all five and apply them once; every other way out changes nothing.
    void dialogClosing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("change");
        QTest::addColumn<QString>("saved"); // null: the file stays as it was
        QTest::addColumn<QString>("loaded");
        QTest::newRow("OK, unchanged")
            << u"ok"_s << false
            << u"[Preferences]\nDisplayHeader=False\nFontName=Courier New\nFontSize=10\n"
               u"SaveText=0\nWordWrap=False\n"_s
            << u"0 0 Courier New 10 0"_s;
        QTest::newRow("Enter, all changed")
            << u"enter"_s << true
            << u"[Preferences]\nDisplayHeader=True\nFontName=Liberation Sans\nFontSize=12\n"
               u"SaveText=2\nWordWrap=True\n"_s
            << u"1 1 Liberation Sans 12 2"_s;
        for (const char *how : {"cancel", "escape", "close button"})
            QTest::newRow(how) << QString::fromLatin1(how) << true << QString()
                               << u"0 0 Courier New 10 0"_s;
    }

    void dialogClosing()
    {
        QFETCH(QString, how);
        QFETCH(bool, change);
        QFETCH(QString, saved);
        QFETCH(QString, loaded);
        const QString file = u"[Preferences]\nFontSize=10\n"_s;
        int applied = 0;
        const auto dialog = openDialog(file, &applied);
        if (change) {
            dialog->chkWordWrap->setChecked(true);
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
};

QTEST_MAIN(tst_Preferences)
#include "tst_Preferences.moc"
