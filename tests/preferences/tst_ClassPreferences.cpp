#include "ClassPreferences.h"
#include "PositionedForm.h"
#include "SettingsFile.h"

#include <QSettings>
#include <QTest>

namespace {

// A window as the settings store sees it, recording where it was put.
struct FakeForm : PositionedForm {
    QString name = QStringLiteral("frmMain");
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

QString position(const QString &top, const QString &left, const QString &height,
                 const QString &width)
{
    return QStringLiteral("[Position]\nfrmMainFormTop=%1\nfrmMainFormLeft=%2\n"
                          "frmMainFormHeight=%3\nfrmMainFormWidth=%4\n")
        .arg(top, left, height, width);
}

} // namespace

class tst_ClassPreferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadSettings_data();
    void loadSettings();
    void fontFallsBackWhenNothingMatches();
    void saveSettingsAfterEmptyLoad();
    void restoreFormPosition_data();
    void restoreFormPosition();
    void saveFormPosition();
    void unusableFileKeepsDefaults();
};

void tst_ClassPreferences::loadSettings_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("wordWrap");
    QTest::addColumn<QString>("fontName");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<int>("saveText");
    QTest::addColumn<bool>("displayHeader");

    const QString courier = QStringLiteral("Courier New");
    QTest::newRow("no file") << QString() << false << courier << 8 << 0 << false;
    const auto size = [](const char *text) {
        return QStringLiteral("[Preferences]\nFontSize=") + QLatin1String(text) + QLatin1Char('\n');
    };
    const struct {
        const char *text;
        int size;
    } sizes[] = {{"12", 12},    {"13", 8},   {"6", 8},    {"0", 8},    {"abc", 8},
                 {"", 8},       {"7.5", 8},  {"8.5", 8},  {"9.5", 10}, {"10pt", 10},
                 {"\" 9\"", 9}, {"-1", 8},   {"1e1", 10}, {"7e", 7},   {"99999999999999999999", 8},
                 {"1e999", 8},  {"+11", 11}, {".9e1", 9}};
    for (const auto &row : sizes)
        QTest::addRow("FontSize %s", row.text)
            << size(row.text) << false << courier << row.size << 0 << false;

    const auto saveText = [](const char *text) {
        return QStringLiteral("[Preferences]\nSaveText=") + QLatin1String(text) + QLatin1Char('\n');
    };
    const struct {
        const char *text;
        int value;
    } saves[] = {{"2", 2}, {"3", 0}, {"-1", 0}, {"1.5", 2}, {"2.5", 2}, {"all", 0}};
    for (const auto &row : saves)
        QTest::addRow("SaveText %s", row.text)
            << saveText(row.text) << false << courier << 8 << row.value << false;

    const auto booleans = [](const char *text) {
        return QStringLiteral("[Preferences]\nWordWrap=%1\nDisplayHeader=%1\n")
            .arg(QLatin1String(text));
    };
    const struct {
        const char *text;
        bool value;
    } flags[] = {{"True", true}, {"TRUE", true}, {"false", false}, {"1", true}, {"0", false},
                 {"-1", true},   {"2.5", true},  {"yes", false},   {"", false}};
    for (const auto &row : flags)
        QTest::addRow("Booleans %s", row.text)
            << booleans(row.text) << row.value << courier << 8 << 0 << row.value;

    QTest::newRow("installed font kept")
        << QStringLiteral("[Preferences]\nFontName=Liberation Sans\n") << false
        << QStringLiteral("Liberation Sans") << 8 << 0 << false;
    QTest::newRow("missing font falls back")
        << QStringLiteral("[Preferences]\nFontName=No Such Font\n") << false << courier << 8 << 0
        << false;
    QTest::newRow("font names compare with case")
        << QStringLiteral("[Preferences]\nFontName=liberation sans\n") << false << courier << 8 << 0
        << false;
    QTest::newRow("junk lines cost nothing else")
        << QStringLiteral("[Preferences]\nthis is no setting\nFontSize=11\n=\nWordWrap=maybe\n"
                          "DisplayHeader=True\n[Broken\nSaveText=1\n")
        << false << courier << 11 << 0 << true;
}

void tst_ClassPreferences::loadSettings()
{
    QFETCH(QString, file);
    QFETCH(bool, wordWrap);
    QFETCH(QString, fontName);
    QFETCH(int, fontSize);
    QFETCH(int, saveText);
    QFETCH(bool, displayHeader);
    writeSettingsFile(file);
    ClassPreferences settings;
    settings.LoadSettings();
    QCOMPARE(settings.WordWrap(), wordWrap);
    QCOMPARE(settings.FontName(), fontName);
    QCOMPARE(settings.FontSize(), fontSize);
    QCOMPARE(settings.SaveText(), saveText);
    QCOMPARE(settings.DisplayHeader(), displayHeader);
    QCOMPARE(readSettingsFile(), file.isNull() ? QString() : file); // loading writes nothing
}

void tst_ClassPreferences::fontFallsBackWhenNothingMatches()
{
    writeSettingsFile(QStringLiteral("[Preferences]\nFontName=Gone\n"));
    ClassPreferences settings([] { return QStringList{QStringLiteral("DejaVu Sans")}; });
    settings.LoadSettings();
    QCOMPARE(settings.FontName(), QStringLiteral("MS Sans Serif"));
}

void tst_ClassPreferences::saveSettingsAfterEmptyLoad()
{
    writeSettingsFile(QString());
    ClassPreferences settings;
    settings.LoadSettings();
    QVERIFY(settings.SaveSettings());
    QCOMPARE(readSettingsFile(),
             QStringLiteral("[Preferences]\nDisplayHeader=False\nFontName=Courier New\n"
                            "FontSize=8\nSaveText=0\nWordWrap=False\n"));
    // The setters store without checks, and so does saving.
    settings.setFontSize(42);
    settings.setSaveText(-3);
    settings.setWordWrap(true);
    QVERIFY(settings.SaveSettings());
    QSettings stored(settingsPath(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Preferences/FontSize")).toString(), QStringLiteral("42"));
    QCOMPARE(stored.value(QStringLiteral("Preferences/SaveText")).toString(), QStringLiteral("-3"));
    QCOMPARE(stored.value(QStringLiteral("Preferences/WordWrap")).toString(),
             QStringLiteral("True"));
}

void tst_ClassPreferences::restoreFormPosition_data()
{
    // The offscreen screen is 800 x 800 pixels at 96 DPI: 12000 x 12000 twips. The window's
    // minimum is 3600 x 1950.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QList<int>>("applied"); // top, left, height, width; empty: not restored

    const auto row = [](const char *name, int top, int left, int height, int width, bool restored) {
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
        << position(QStringLiteral("10.5"), QStringLiteral("11.5"), QStringLiteral("1949.5"),
                    QStringLiteral("5000"))
        << QList<int>{10, 12, 1950, 5000};
    QTest::newRow("value beyond 32 bits")
        << position(QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("3000"),
                    QStringLiteral("99999999999"))
        << QList<int>{};
    QTest::newRow("junk reads as 0") << position(QStringLiteral("top"), QStringLiteral("0"),
                                                 QStringLiteral("3000"), QStringLiteral("5000"))
                                     << QList<int>{0, 0, 3000, 5000};
}

void tst_ClassPreferences::restoreFormPosition()
{
    QFETCH(QString, file);
    QFETCH(QList<int>, applied);
    writeSettingsFile(file);
    ClassPreferences settings;
    FakeForm form;
    QCOMPARE(settings.RestoreFormPosition(&form), !applied.isEmpty());
    QCOMPARE(form.applied, applied);
}

void tst_ClassPreferences::saveFormPosition()
{
    writeSettingsFile(QString());
    ClassPreferences settings;
    FakeForm find;
    find.name = QStringLiteral("frmFind");
    settings.SaveFormPosition(&find, 120, 240, 1800, 7000);
    FakeForm nameless;
    nameless.name.clear();
    settings.SaveFormPosition(&nameless, 1, 2, 3, 4);
    settings.SaveFormPosition(nullptr, 1, 2, 3, 4);
    QCOMPARE(readSettingsFile(),
             QStringLiteral("[Position]\nfrmFindFormHeight=1800\nfrmFindFormLeft=240\n"
                            "frmFindFormTop=120\nfrmFindFormWidth=7000\n"));
    // What was saved comes back.
    FakeForm again;
    again.name = QStringLiteral("frmFind");
    again.minWidth = 0;
    again.minHeight = 0;
    QVERIFY(settings.RestoreFormPosition(&again));
    QCOMPARE(again.applied, (QList<int>{120, 240, 1800, 7000}));
}

// A settings "file" that is really a folder can be neither read nor written: loading gives the
// defaults, saving says it failed, and nothing crashes.
void tst_ClassPreferences::unusableFileKeepsDefaults()
{
    writeSettingsFile(QString());
    QVERIFY(QDir().mkpath(settingsPath()));
    ClassPreferences settings;
    settings.setFontSize(11);
    settings.LoadSettings();
    QCOMPARE(settings.FontSize(), 8);
    QCOMPARE(settings.FontName(), QStringLiteral("Courier New"));
    QVERIFY(!settings.SaveSettings());
    FakeForm form;
    QVERIFY(!settings.RestoreFormPosition(&form));
    writeSettingsFile(QString());
}

QTEST_MAIN(tst_ClassPreferences)
#include "tst_ClassPreferences.moc"
