#include "ClassPreferences.h"
#include "DisplayGrid.h"
#include "frmMain.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// One traced call: 'S' (app, request, buffer), 'R' (buffer) or 'T' (app, text).
struct Call {
    char kind;
    QString first;
    QString second = {};
    QString third = {};
};

// Texts written as in the worked examples: ␀ for the separator, ⇥ for the indent.
QString buf(const char *utf8)
{
    return QString::fromUtf8(utf8).replace(QChar(0x2400), QChar(0));
}

// Grid lines written "first|second|...", the indent as ⇥.
QString lines(const char *utf8)
{
    return buf(utf8).replace(QChar(0x21E5), u"       "_s);
}

Call send(const char *app, const char *request, const char *buffer)
{
    return {'S', QString::fromUtf8(app), QString::fromUtf8(request), buf(buffer)};
}

Call receive(const char *buffer)
{
    return {'R', buf(buffer)};
}

Call text(const char *app, const char *note)
{
    return {'T', QString::fromUtf8(app), buf(note)};
}

// entries: the rows that start an entry, marked with row data 1 and bold. The last of them
// becomes current, the one before it previous, and there is no next.
void row(const char *name, const QList<Call> &calls, bool header, const char *expected,
         const QList<int> &entries, bool lastFails = false)
{
    QTest::newRow(name) << calls << header << lines(expected) << entries << lastFails;
}

} // namespace

Q_DECLARE_METATYPE(QList<Call>)

class tst_BufferFormatting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formats_data()
    {
        QTest::addColumn<QList<Call>>("calls");
        QTest::addColumn<bool>("header");
        QTest::addColumn<QString>("lines");
        QTest::addColumn<QList<int>>("entries");
        QTest::addColumn<bool>("lastFails");

        const char *lookup = "[HEADER]␀V=1␀ID=7␀[DATA]␀ITEM␀A=1␀␀B=xy␀tail";
        row("request with header", {send("Client A", "Lookup", lookup)}, true,
            "[Client A]  Lookup Request|⇥[HEADER] V=1 ID=7 |⇥PutTag ITEM|⇥⇥A=1|⇥⇥B=xy", {0});
        row("request with header hidden", {send("Client A", "Lookup", lookup)}, false,
            "[Client A]  Lookup Request|⇥PutTag ITEM|⇥⇥A=1|⇥⇥B=xy", {0});
        row("request without header is all data", {send("A", "Count", "ITEM␀A=1␀")}, true,
            "[A]  Count Request|⇥PutTag ITEM|⇥⇥A=1", {0});
        row("header without [DATA] is all header", {send("A", "Ping", "[HEADER]␀V=1␀")}, true,
            "[A]  Ping Request|⇥[HEADER] V=1 ", {0});
        row("buffer ends with [DATA]", {send("A", "Ping", "[HEADER]␀V=1␀[DATA]")}, true,
            "[A]  Ping Request|⇥[HEADER] V=1 ", {0});
        row("empty header section", {send("A", "Ping", "[HEADER]␀[DATA]␀X␀")}, true,
            "[A]  Ping Request|⇥[HEADER] |⇥PutTag X", {0});
        row("empty buffer", {send("A", "Ping", "")}, true, "[A]  Ping Request", {0});
        row("leading empty fields keep the PutTag label", {send("A", "Get", "␀␀A␀B␀")}, false,
            "[A]  Get Request|⇥PutTag A|⇥⇥B", {0});
        row("markers are case-sensitive in requests", {send("A", "Get", "[header]␀V=1␀[Data]␀X␀")},
            true, "[A]  Get Request|⇥PutTag [header]|⇥⇥V=1|⇥⇥[Data]|⇥⇥X", {0});
        row("reply joins the entry, one-character fields hidden",
            {send("A", "Ping", ""), receive("[HEADER]␀V=1␀RC=0␀[DATA]␀A=1␀Z␀NAME=Smith␀")}, true,
            "[A]  Ping Request|⇥[HEADER] V=1 |⇥GetTag RC=0|⇥⇥A=1|⇥⇥NAME=Smith", {0});
        row("reply header hidden", {receive("[HEADER]␀V=1␀RC=0␀[DATA]␀A=1␀")}, false,
            "⇥GetTag RC=0|⇥⇥A=1", {});
        row("one-character fields: shown in requests, not in replies",
            {send("A", "Get", "A␀B␀"), receive("H␀RC=0␀[DATA]␀A␀B␀")}, false,
            "[A]  Get Request|⇥PutTag A|⇥⇥B|⇥GetTag RC=0", {0});
        row("reply without a separator before RC= adds nothing",
            {receive("RC=0␀[DATA]␀A=1␀"), receive("V=1␀A=1␀")}, true, "", {});
        row("rc= in lower case is no return code", {receive("H␀rc=0␀[DATA]␀A=1␀")}, true, "", {});
        row("reply text after the last separator is dropped", {receive("H␀RC=0␀[DATA]␀AB␀tail")},
            false, "⇥GetTag RC=0|⇥⇥AB", {});
        row("reply ends right after the return code", {receive("H␀RC=12␀")}, true,
            "⇥H |⇥GetTag RC=12", {});
        row("unclosed return code fails after the header line", {receive("[HEADER]␀V=1␀RC=0")},
            true, "⇥[HEADER] V=1 ", {}, true);
        row("note text is not interpreted, even without an application name",
            {text("", "x␀y\r\nz")}, true, "[]  x␀y\r\nz", {0});
        row("entries follow each other",
            {text("A", "<Connecting>"), send("A", "Get", "X␀"), receive("H␀RC=0␀[DATA]␀AB␀"),
             send("B", "Put", "")},
            false,
            "[A]  <Connecting>|[A]  Get Request|⇥PutTag X|⇥GetTag RC=0|⇥⇥AB|[B]  Put Request",
            {0, 1, 5});
    }

    void formats()
    {
        QFETCH(QList<Call>, calls);
        QFETCH(bool, header);
        QFETCH(QString, lines);
        QFETCH(QList<int>, entries);
        QFETCH(bool, lastFails);

        Preferences().setDisplayHeader(header);
        frmMain window;
        std::optional<HelixError> failure;
        for (const Call &call : calls) {
            if (call.kind == 'S')
                window.FormatSendBuffer(call.first, call.second, call.third);
            else if (call.kind == 'R')
                failure = window.FormatReceiveBuffer(call.first);
            else
                window.FormatText(call.first, call.second);
        }
        const DisplayGrid *grid = window.vsf();
        QStringList shown;
        for (int r = 0; r < grid->Rows(); ++r) {
            shown << grid->TextMatrix(r, 0);
            QCOMPARE(grid->RowData(r) == 1, entries.contains(r));
            QCOMPARE(grid->CellFontBold(r), entries.contains(r));
        }
        QCOMPARE(shown.join(u'|'), lines);
        const int current = entries.isEmpty() ? -1 : entries.last();
        const int previous = entries.size() < 2 ? -1 : entries[entries.size() - 2];
        QCOMPARE(grid->Row(), current);
        QCOMPARE((QList<int>{window.PreviousEntryRow, window.CurrentEntryRow, window.NextEntryRow}),
                 (QList<int>{previous, current, -1}));
        QCOMPARE(failure.has_value(), lastFails);
        if (failure)
            QCOMPARE(failure->message(), u"5: Invalid procedure call or argument"_s);
        QVERIFY(grid->Redraw() != 0);
        QVERIFY(!window.IsNavigating);
    }

    // The grid reports the new current row inside the formatter's Row write, while the window
    // is still marked as navigating, so entry tracking can tell its own moves from the user's.
    void rowChangeIsSeenWhileNavigating()
    {
        frmMain window;
        QList<QPair<int, bool>> seen;
        connect(window.vsf(), &DisplayGrid::RowColChange, this, [&] {
            seen.append({window.vsf()->Row(), window.IsNavigating});
        });
        window.FormatText(u"A"_s, u"one"_s);
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"X\0Y\0"_s);
        QCOMPARE(seen, (QList<QPair<int, bool>>{{0, true}, {1, true}}));
    }

    // The indent is as wide as "GetTag " in the display font: seven spaces in a fixed-pitch
    // font, more in a proportional one, where a space is narrow. Lines already shown keep theirs.
    void indentFollowsTheFont()
    {
        Preferences().setFontName(u"Courier New"_s);
        Preferences().setFontSize(10);
        frmMain window;
        QCOMPARE(window.ContinuationIndent, u"       "_s);
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"X\0"_s);

        Preferences().setFontName(u"Liberation Sans"_s);
        window.ApplyPreferences();
        const QString indent = window.ContinuationIndent;
        QVERIFY(indent.size() > 7);
        QCOMPARE(indent.count(u' '), indent.size());
        window.FormatSendBuffer(u"A"_s, u"Get"_s, u"Y\0"_s);
        QCOMPARE(window.vsf()->TextMatrix(1, 0), u"       PutTag X"_s);
        QCOMPARE(window.vsf()->TextMatrix(3, 0), indent + u"PutTag Y"_s);
        QCOMPARE(window.vsf()->FontName(), u"Liberation Sans"_s);
        Preferences().setFontName(u"Courier New"_s);
        Preferences().setFontSize(8);
    }
};

QTEST_MAIN(tst_BufferFormatting)
#include "tst_BufferFormatting.moc"
