#include "FakeLines.h"
#include "view/ViewFilter.h"

#include <QTest>

#include <random>
#include <ranges>

using namespace Qt::Literals::StringLiterals;

// Entries written "client[e][u] line/line/...": e holds an error code, u is unanswered. A "-"
// entry stands for rows before the first entry.
class FakeEntries final : public FilterSource {
public:
    explicit FakeEntries(const QStringList &entries)
    {
        QStringList lines;
        for (const QString &entry : entries) {
            const QString head = entry.section(u' ', 0, 0);
            if (head != u"-") {
                mFacts.append(head.left(1).toInt(), int(lines.size()));
                mFacts.set(mFacts.size() - 1,
                           (head.contains(u'e') ? EntryFacts::kError : 0u) |
                               (head.contains(u'u') ? EntryFacts::kUnanswered : 0u));
            }
            lines += entry.section(u' ', 1).split(u'/');
        }
        mLines.emplace(lines);
    }
    const EntryFacts &facts() const override { return mFacts; }
    int storedRows() const override { return mLines->lineCount(); }
    LineView storedLine(int row) const override { return mLines->line(row); }

private:
    EntryFacts mFacts;
    std::optional<FakeLines<>> mLines;
};

static QString storeRows(const ShownRows &rows, int stored)
{
    QStringList shown;
    for (int row = 0; row < rows.size(stored); ++row)
        shown << QString::number(rows.storeRow(row));
    return shown.join(u' ');
}

class tst_ViewFilter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every query agrees with a plain list of the shown stored rows, whatever was shown,
    // inserted and hidden, in any order.
    void mappingAgreesWithAList()
    {
        std::mt19937 random(19);
        for (int round = 0; round < 300; ++round) {
            ShownRows rows;
            rows.showNone();
            std::vector<bool> model;
            const auto list = [&] {
                std::vector<int> shown;
                for (std::size_t r = 0; r < model.size(); ++r)
                    if (model[r])
                        shown.push_back(int(r));
                return shown;
            };
            for (int step = 0; step < 12; ++step) {
                const int stored = int(model.size());
                const int count = int(random() % 4) + 1;
                switch (random() % 3) {
                case 0: { // the newest rows, stored now, show or not
                    const bool shown = random() % 2;
                    model.resize(model.size() + std::size_t(count), shown);
                    if (shown)
                        rows.showTail(stored, count);
                    break;
                }
                case 1: { // hidden rows further up show
                    const auto shown = list();
                    std::vector<int> hidden;
                    for (int r = 0; r < stored; ++r)
                        if (!model[std::size_t(r)])
                            hidden.push_back(r);
                    if (hidden.empty())
                        break;
                    int first = hidden[random() % hidden.size()], n = 0;
                    while (first + n < stored && !model[std::size_t(first + n)] && n < count)
                        model[std::size_t(first + n++)] = true;
                    rows.insert(first, n);
                    break;
                }
                default: { // the newest rows hide
                    const int from = stored > 0 ? int(random() % std::size_t(stored)) : 0;
                    std::fill(model.begin() + from, model.end(), false);
                    rows.hideFrom(from);
                }
                }
                const std::vector<int> shown = list();
                QCOMPARE(rows.size(int(model.size())), int(shown.size()));
                for (int row = 0; row < int(shown.size()); ++row)
                    QCOMPARE(rows.storeRow(row), shown[std::size_t(row)]);
                for (int r = 0; r <= int(model.size()); ++r) {
                    const auto at = std::lower_bound(shown.begin(), shown.end(), r);
                    QCOMPARE(rows.shownAtOrAfter(r), int(at - shown.begin()));
                    QCOMPARE(rows.shownRow(r),
                             at != shown.end() && *at == r ? int(at - shown.begin()) : -1);
                }
                QVERIFY(rows.bytesReserved() <= std::max<std::size_t>(16, model.size() * 4 + 16));
            }
        }
        ShownRows all;
        QCOMPARE(all.size(7), 7);
        QCOMPARE(all.storeRow(5), 5);
        QCOMPARE(all.bytesReserved(), 0u);
    }

    void conditions_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("exclude");
        QTest::addColumn<QString>("hidden"); // client numbers
        QTest::addColumn<bool>("errors");
        QTest::addColumn<bool>("unanswered");
        QTest::addColumn<QString>("rows"); // the stored rows shown
        // Rows: orphan 0, entry 0: 1-3, entry 1: 4-5, entry 2: 6-7, entry 3: 8-9, entry 4: 10-11.
        const auto row = [](const char *name, const char *text, const char *exclude,
                            const char *hidden, bool errors, bool unanswered, const char *rows) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(exclude)
                                << QString::fromLatin1(hidden) << errors << unanswered
                                << QString::fromLatin1(rows);
        };
        row("nothing asked: every entry, no orphan rows", "", "", "", false, false,
            "1 2 3 4 5 6 7 8 9 10 11");
        row("text in any line, any case", "rc=7", "", "", false, false, "4 5");
        row("text in the first line", "find", "", "", false, false, "6 7 10 11");
        row("text in a later line", "c=3", "", "", false, false, "6 7");
        row("non-Latin-1 text", "GRÜSSE", "", "", false, false, "");
        row("non-Latin-1 text, folded", "grüße", "", "", false, false, "8 9");
        row("text nowhere", "zzz", "", "", false, false, "");
        row("exclude in any line", "", "A=1", "", false, false, "4 5 6 7 8 9 10 11");
        row("exclude beats text", "[", "grüße", "", false, false, "1 2 3 4 5 6 7 10 11");
        row("a hidden client", "", "", "1", false, false, "1 2 3 6 7 10 11");
        row("several hidden clients", "", "", "0 2", false, false, "4 5 8 9");
        row("errors", "", "", "", true, false, "4 5 10 11");
        row("unanswered", "", "", "", false, true, "6 7 10 11");
        row("all conditions together", "find", "", "1", true, true, "10 11");
    }

    // Which entries show for which conditions, the rows of each shown whole; a run judged a few
    // entries a slice shows the same.
    void conditions()
    {
        QFETCH(QString, hidden);
        ViewConditions conditions;
        QFETCH(QString, text);
        QFETCH(QString, exclude);
        conditions.text = text;
        conditions.exclude = exclude;
        QFETCH(bool, errors);
        QFETCH(bool, unanswered);
        conditions.errors = errors;
        conditions.unanswered = unanswered;
        for (const QString &client : hidden.split(u' ', Qt::SkipEmptyParts)) {
            conditions.hiddenClients.resize(std::size_t(client.toInt() + 1));
            conditions.hiddenClients[std::size_t(client.toInt())] = true;
        }
        const FakeEntries entries({u"- orphan"_s, u"0 [A] Get/A=1/RC=0"_s, u"1e [B] Put/RC=7"_s,
                                   u"2u [C] Find/C=3"_s, u"1 [B] Note/Grüße"_s,
                                   u"0eu [A] Find/RC=9"_s});
        FilterRun run{ViewFilter(conditions)};
        QVERIFY(run.advance(entries, QDeadlineTimer(QDeadlineTimer::Forever)));
        QTEST(storeRows(run.rows(), entries.storedRows()), "rows");
        QCOMPARE(run.shownEntries(), int(std::ranges::count_if(std::views::iota(0, 5), [&](int e) {
                     return run.rows().shownRow(entries.entryRow(e)) >= 0;
                 })));
    }

    void runsInSlices_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("hideB");
        QTest::addColumn<int>("mostSlices"); // the clock is read after thousands of lines, not each
        QTest::newRow("by text") << u"Z"_s << false << 120;
        QTest::newRow("by facts alone") << QString() << true << 9;
    }

    // Past some thousands of entries a run stops at its deadline and goes on where it stopped.
    void runsInSlices()
    {
        QStringList many;
        for (int i = 0; i < 140000; ++i)
            many << (i % 3 ? u"0 [A] Get/x"_s : u"1 [B] Put/y/z"_s);
        const FakeEntries entries(many);
        ViewConditions conditions;
        QFETCH(QString, text);
        QFETCH(bool, hideB);
        conditions.text = text;
        conditions.hiddenClients = {false, hideB};
        FilterRun sliced{ViewFilter(conditions)}, whole{ViewFilter(conditions)};
        int slices = 1;
        while (!sliced.advance(entries, QDeadlineTimer(0)))
            ++slices;
        QFETCH(int, mostSlices);
        QVERIFY2(slices > 1 && slices <= mostSlices, qPrintable(QString::number(slices)));
        QVERIFY(whole.advance(entries, QDeadlineTimer(QDeadlineTimer::Forever)));
        QStringList expected; // B's entries hold the "z"
        for (int i = 0; i < many.size(); ++i) {
            const auto [first, end] = ViewFilter::rowsOf(entries, i);
            for (int row = first; row < end && (i % 3 != 0) == hideB; ++row)
                expected << QString::number(row);
        }
        QCOMPARE(storeRows(sliced.rows(), entries.storedRows()), expected.join(u' '));
        QCOMPARE(storeRows(whole.rows(), entries.storedRows()), expected.join(u' '));
        QCOMPARE(sliced.shownEntries(), hideB ? 93333 : 46667);
    }

    // Flags and clients set later stay with their entry; numbers outside those held change
    // nothing.
    void factsOfEntries()
    {
        EntryFacts facts;
        facts.append(7, 3);
        facts.set(0, EntryFacts::kError);
        facts.setClient(0, 1029); // numbers wrap at 1024
        facts.set(1, EntryFacts::kUnanswered);
        facts.setClient(1, 2);
        facts.set(-1, EntryFacts::kUnanswered);
        QCOMPARE(facts.size(), 1);
        QCOMPARE(facts.at(0), EntryFacts::kError | 5u);
        facts.append(2, 9);
        QCOMPARE(facts.row(1), 9);
        QCOMPARE(
            QList<int>({facts.entryAt(2), facts.entryAt(3), facts.entryAt(8), facts.entryAt(9)}),
            QList<int>({-1, 0, 0, 1}));
    }

    void currentRow_data()
    {
        QTest::addColumn<QString>("shown"); // stored rows, as runs "first+count"
        QTest::addColumn<int>("current");   // a stored row
        QTest::addColumn<int>("expected");  // a shown row
        // Entries as in conditions(): rows 1-3, 4-5, 6, 7-8, 9-10.
        QTest::newRow("still shown, inside its entry") << "4+2 9+2" << 5 << 1;
        QTest::newRow("hidden: the nearest shown entry before") << "1+3 6+1" << 8 << 3;
        QTest::newRow("hidden: its first row, however far") << "1+5" << 10 << 3;
        QTest::newRow("nothing shown before: the first shown") << "7+2" << 4 << 0;
        QTest::newRow("none current stays none") << "1+3" << -1 << -1;
        QTest::newRow("nothing shown") << "" << 5 << -1;
    }

    void currentRow()
    {
        QFETCH(QString, shown);
        QFETCH(int, current);
        ShownRows rows;
        rows.showNone();
        for (const QString &run : shown.split(u' ', Qt::SkipEmptyParts))
            rows.showTail(run.section(u'+', 0, 0).toInt(), run.section(u'+', 1).toInt());
        const FakeEntries entries(
            {u"- orphan"_s, u"0 a/b/c"_s, u"1 d/e"_s, u"2 f"_s, u"1 g/h"_s, u"0 i/j"_s});
        QTEST(currentAfterFiltering(rows, current, entries), "expected");
    }
};

QTEST_GUILESS_MAIN(tst_ViewFilter)
#include "tst_ViewFilter.moc"
