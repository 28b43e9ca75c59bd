#include "FakeLines.h"
#include "RulesOf.h"
#include "view/HighlightSettings.h"
#include "view/MarkSet.h"
#include "view/RowHighlights.h"

#include <QTest>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

// One row of a data table, named `name`, with a value for each column.
template <typename... Values> static void row(const char *name, Values... values)
{
    (QTest::newRow(name) << ... << values);
}

// Shown rows written as stored runs "first-last ..."; "all" for every row.
static ShownRows shownRows(const QString &runs)
{
    ShownRows rows;
    if (runs == u"all")
        return rows;
    rows.showNone();
    for (const QString &run : runs.split(u' ', Qt::SkipEmptyParts))
        rows.insert(run.section(u'-', 0, 0).toInt(),
                    run.section(u'-', 1, 1).toInt() - run.section(u'-', 0, 0).toInt() + 1);
    return rows;
}

// Each row's rule, "-" for none, over entries written "line/line|line/line".
static QString rowRules(RowHighlights &highlights, const QString &entries)
{
    QStringList lines;
    std::vector<std::pair<int, int>> spans;
    for (const QString &entry : entries.split(u'|')) {
        const QStringList rows = entry.split(u'/');
        spans.emplace_back(int(lines.size()), int(lines.size() + rows.size()));
        lines += rows;
    }
    const FakeLines<> source(lines);
    QStringList result;
    for (const auto &[first, end] : spans) {
        for (int row = first; row < end; ++row) {
            const int rule = highlights.ruleOf(source, row, first, end);
            result << (rule < 0 ? u"-"_s : QString::number(rule));
        }
    }
    return result.join(u' ');
}

// The WCAG contrast ratio of two colours.
static double contrast(std::uint32_t a, std::uint32_t b)
{
    const auto luminance = [](std::uint32_t rgb) {
        double sum = 0;
        for (const auto &[shift, weight] : {std::pair{16, 0.2126}, {8, 0.7152}, {0, 0.0722}}) {
            const double c = double((rgb >> shift) & 0xFF) / 255.0;
            sum += weight * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return sum;
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class tst_MarksAndHighlights : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Marks are toggled in turn (a row named twice is unmarked again); F2 and Shift+F2 from
    // shown row `from` land on shown rows, skipping hidden marks and wrapping round.
    void markNavigation_data()
    {
        QTest::addColumn<QString>("toggles");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("next");
        QTest::addColumn<int>("previous");
        row("no marks", "", "all", 3, -1, -1);
        row("between marks", "8 2 5", "all", 4, 5, 2);
        row("on a mark", "2 5 8", "all", 5, 8, 2);
        row("wraps at the ends", "2 5 8", "all", 9, 2, 8);
        row("wraps before the first", "2 5 8", "all", 1, 2, 8);
        row("no current row", "2 5 8", "all", -1, 2, 8);
        row("the only mark is itself", "4", "all", 4, 4, 4);
        row("unmarked again", "2 5 8 5 2", "all", 0, 8, 8);
        // Stored rows 0-2 and 6-9 show: stored 6 is shown row 3, stored 8 shown row 5.
        row("a hidden mark is skipped", "1 4 8", "0-2 6-9", 1, 5, 5);
        row("from a shown row past hidden ones", "1 4 8", "0-2 6-9", 3, 5, 1);
        row("every mark hidden", "3 4", "0-2 6-9", 0, -1, -1);
        row("nothing shows", "3", "", -1, -1, -1);
    }
    void markNavigation()
    {
        QFETCH(QString, toggles);
        QFETCH(QString, shown);
        QFETCH(int, from);
        MarkSet marks;
        for (const QString &row : toggles.split(u' ', Qt::SkipEmptyParts))
            marks.toggle(row.toInt());
        const ShownRows rows = shownRows(shown);
        QTEST(marks.next(from, rows), "next");
        QTEST(marks.previous(from, rows), "previous");
    }

    // Rows get the first rule that holds: a line rule on its own line, an entry rule on every
    // row of an entry with a line it holds on.
    void ruleMatching_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QString>("entries");
        QTest::addColumn<QString>("expected");
        row("no rules", "", "a/b", "- -");
        row("any case", "find", "Find it/found/FIND", "0 - 0");
        row("match case", "Find:c", "Find it/find it", "0 -");
        row("a rule that is off", "x:-;y", "x y/x", "1 -");
        row("an empty text", ":;y", "y/z", "1 -");
        row("first rule wins", "b;ab", "ab/a", "0 -");
        row("later rule where the first fails", "b;a", "ab/a", "0 1");
        row("entry rule covers its entry only", "err:e", "x/y|z/an err/w|v", "- - 0 0 0 -");
        row("earlier line rule beats entry rule", "y;err:e", "x/y/err|y", "1 0 1 0");
        row("earlier entry rule beats line rule", "err:e;y", "x/y/err|y", "0 0 0 1");
        row("the best of several entry rules", "a:e;b:e", "b/a/b|b", "0 0 0 1");
        row("not zero", "RC=:z", "GetTag RC=0/GetTag RC=12/GetTag RC= 00/GetTag RC=/RC=x/RC=-1",
            "- 0 - - 0 0");
        row("not zero, whole entry", "GetTag RC=:ez", "h/GetTag RC=0|h/GetTag RC=7", "- - 0 0");
        row("lines beyond Latin-1", "ÄΩ;€", "xäω/x€/ÄΩ€", "0 1 0");
    }
    void ruleMatching()
    {
        QFETCH(QString, rules);
        QFETCH(QString, entries);
        RowHighlights highlights;
        highlights.setRules(rulesOf(rules));
        QTEST(rowRules(highlights, entries), "expected");
        // Asked again, the kept entry verdicts give the same answers.
        QTEST(rowRules(highlights, entries), "expected");
    }

    // An entry's verdict is carried on as lines join it, and starts afresh with new rules.
    void entryVerdictFollowsGrowth()
    {
        RowHighlights highlights;
        highlights.setRules(rulesOf(u"a:e;b:e"_s));
        const FakeLines<> lines({u"x"_s, u"b"_s, u"a"_s});
        QCOMPARE(highlights.ruleOf(lines, 0, 0, 1), -1);
        QCOMPARE(highlights.ruleOf(lines, 0, 0, 2), 1);
        QCOMPARE(highlights.ruleOf(lines, 0, 0, 3), 0);
        highlights.setRules(rulesOf(u"b:e"_s));
        QCOMPARE(highlights.ruleOf(lines, 0, 0, 3), 0);
        highlights.setRules(rulesOf(u"q:e"_s));
        QCOMPARE(highlights.ruleOf(lines, 2, 0, 3), -1);
        highlights.setRules(rulesOf(u"r0;r1;r2;r3;r4;r5;r6;r7;r8;r9;r10;r11;r12;r13;r14;r15;x"_s));
        QCOMPARE(int(highlights.rules().size()), RowHighlights::kMaxRules);
        QCOMPARE(highlights.ruleOf(lines, 0, 0, 1), -1);
    }

    // What [Highlights] holds, as "key=value;...", and the rules read from it. Junk reads as
    // the field's default and the other rules still load.
    void settings_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("expected");
        row("no section: the ready rules", "", "GetTag RC=:ze-:Red;<Disconnected>:-:Orange");
        row("no rules", "Rules=0", "");
        row("every field",
            "Rules=1;Rule1.Text=Find;Rule1.MatchCase=True;Rule1.NotZero=1;Rule1.Scope=entry;"
            "Rule1.Colour=teal;Rule1.On=False",
            "Find:cze-:Teal");
        row("defaults", "Rules=1;Rule1.Text=x", "x");
        row("junk values",
            "Rules=1;Rule1.Text=x;Rule1.MatchCase=maybe;Rule1.Scope=all;Rule1.Colour=#ff0000;"
            "Rule1.On=perhaps",
            "x");
        row("a rule without text is skipped", "Rules=3;Rule1.Text=a;Rule3.Text=c;Rule3.Colour=Blue",
            "a;c::Blue");
        row("only as many as Rules says", "Rules=1;Rule1.Text=a;Rule2.Text=b", "a");
        row("a count that does not read", "Rules=two;Rule1.Text=a;Rule2.Text=b", "a;b");
        row("at most 16", "Rules=99;Rule16.Text=p;Rule17.Text=q", "p");
        row("a negative count", "Rules=-3;Rule1.Text=a", "");
    }
    void settings()
    {
        QFETCH(QString, section);
        QFETCH(QString, expected);
        QHash<QString, QString> keys;
        for (const QString &pair : section.split(u';', Qt::SkipEmptyParts))
            keys.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
        const std::vector<HighlightRule> rules =
            HighlightSettings::parse([&keys](const QString &key) { return keys.value(key); });
        QCOMPARE(rules, rulesOf(expected));
        // What is saved reads back as the same rules.
        QHash<QString, QString> saved;
        for (const auto &[key, text] : HighlightSettings::values(rules))
            saved.insert(key, text);
        QCOMPARE(
            HighlightSettings::parse([&saved](const QString &key) { return saved.value(key); }),
            rules);
    }

    // The window's own text stays readable on every highlight, on a light and a dark base.
    void paletteReadsOnLightAndDark_data()
    {
        QTest::addColumn<uint>("base");
        QTest::addColumn<uint>("text");
        row("light", 0xFFFFFFu, 0x000000u);
        row("dark", 0x2A2A2Au, 0xFFFFFFu);
        row("Fusion dark", 0x353535u, 0xFFFFFFu);
    }
    void paletteReadsOnLightAndDark()
    {
        QFETCH(uint, base);
        QFETCH(uint, text);
        for (int colour = 0; colour < int(HighlightPalette::kColours.size()); ++colour) {
            const std::uint32_t tint = HighlightPalette::tint(colour, base);
            QVERIFY2(contrast(tint, text) >= 4.5, HighlightPalette::kColours[colour].name);
            // And the row stands out from the rows around it.
            QVERIFY2(contrast(tint, base) >= 1.2, HighlightPalette::kColours[colour].name);
        }
        // Read apart from the rules' notation, which names colours through the same lookup.
        QCOMPARE(HighlightPalette::find(u"bLuE"), 5);
        QCOMPARE(HighlightPalette::find(u"Pink"), 0);
    }
};

QTEST_APPLESS_MAIN(tst_MarksAndHighlights)
#include "tst_MarksAndHighlights.moc"
