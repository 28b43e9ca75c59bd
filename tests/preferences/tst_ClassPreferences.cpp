#include "ClassPreferences.h"
#include "PositionedForm.h"
#include "SettingsFile.h"

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
    return u"%1 %2 %3 %4 %5"_s.arg(int(settings.WordWrap()))
        .arg(int(settings.DisplayHeader()))
        .arg(settings.FontName())
        .arg(settings.FontSize())
        .arg(settings.SaveText());
}

const QString kDefaults = u"0 0 Courier New 8 0"_s;

} // namespace

class tst_ClassPreferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadSettings_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("loaded");

        QTest::newRow("no file") << QString() << kDefaults;
        const struct {
            const char *key;
            const char *text;
            const char *loaded;
        } rows[] = {
            {"FontSize", "12", "0 0 Courier New 12 0"},
            {"FontSize", "13", ""},
            {"FontSize", "6", ""},
            {"FontSize", "abc", ""},
            {"FontSize", "8.5", ""},
            {"FontSize", "9.5", "0 0 Courier New 10 0"},
            {"FontSize", "10pt", "0 0 Courier New 10 0"},
            {"FontSize", "\" 9\"", "0 0 Courier New 9 0"},
            {"FontSize", "1e1", "0 0 Courier New 10 0"},
            {"FontSize", "7e", "0 0 Courier New 7 0"},
            {"FontSize", "99999999999999999999", ""},
            {"FontSize", "1e999", ""},
            {"FontSize", "+11", "0 0 Courier New 11 0"},
            {"FontSize", ".9e1", "0 0 Courier New 9 0"},
            {"SaveText", "2", "0 0 Courier New 8 2"},
            {"SaveText", "3", ""},
            {"SaveText", "-1", ""},
            {"SaveText", "1.5", "0 0 Courier New 8 2"},
            {"SaveText", "2.5", "0 0 Courier New 8 2"},
            {"SaveText", "all", ""},
            {"WordWrap", "True", "1 0 Courier New 8 0"},
            {"DisplayHeader", "TRUE", "0 1 Courier New 8 0"},
            {"WordWrap", "false", ""},
            {"WordWrap", "1", "1 0 Courier New 8 0"},
            {"WordWrap", "0", ""},
            {"DisplayHeader", "-1", "0 1 Courier New 8 0"},
            {"DisplayHeader", "2.5", "0 1 Courier New 8 0"},
            {"DisplayHeader", "yes", ""},
            {"DisplayHeader", "", ""},
            {"FontName", "Liberation Sans", "0 0 Liberation Sans 8 0"},
            {"FontName", "No Such Font", ""},
            {"FontName", "liberation sans", ""}, // names compare with case
        };
        for (const auto &row : rows) {
            QTest::addRow("%s=%s", row.key, row.text)
                << u"[Preferences]\n%1=%2\n"_s.arg(QString::fromLatin1(row.key),
                                                   QString::fromLatin1(row.text))
                << (*row.loaded ? QString::fromUtf8(row.loaded) : kDefaults);
        }
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
        QCOMPARE(summary(settings), kDefaults);
        QVERIFY(!settings.SaveSettings());
        FakeForm form;
        QVERIFY(!settings.RestoreFormPosition(&form));
        writeSettingsFile(QString());
    }
};

QTEST_MAIN(tst_ClassPreferences)
#include "tst_ClassPreferences.moc"
