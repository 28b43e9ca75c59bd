#include "ClassPreferences.h"
#include "DisplayGrid.h"
#include "frmMain.h"

#include <QTest>

namespace {

// One traced call: 'S' (app, request, buffer), 'R' (buffer) or 'T' (app, text).
struct Call {
    char kind;
    QString first;
    QString second;
    QString third;
};

// Example texts as the worked examples write them: ␀ for the separator, ⇥ for the indent.
QString buf(const char *utf8)
{
    return QString::fromUtf8(utf8).replace(QChar(0x2400), QChar(0));
}

QString ln(const char *utf8)
{
    return buf(utf8).replace(QChar(0x21E5), QStringLiteral("       "));
}

Call send(const char *app, const char *request, const char *buffer)
{
    return {'S', QString::fromUtf8(app), QString::fromUtf8(request), buf(buffer)};
}

Call receive(const char *buffer)
{
    return {'R', buf(buffer), {}, {}};
}

Call text(const char *app, const char *note)
{
    return {'T', QString::fromUtf8(app), buf(note), {}};
}

} // namespace

Q_DECLARE_METATYPE(QList<Call>)

class tst_BufferFormatting : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formats_data();
    void formats();
    void rowChangeIsSeenWhileNavigating();
    void indentFollowsTheFont();
};

void tst_BufferFormatting::formats_data()
{
    QTest::addColumn<QList<Call>>("calls");
    QTest::addColumn<bool>("header");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("entries"); // rows marked with row data 1 and bold
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<int>>("entryRows"); // previous, current, next
    QTest::addColumn<bool>("lastFails");

    const char *lookup = "[HEADER]␀V=1␀ID=7␀[DATA]␀ITEM␀A=1␀␀B=xy␀tail";
    QTest::newRow("request with header")
        << QList<Call>{send("Client A", "Lookup", lookup)} << true
        << QStringList{ln("[Client A]  Lookup Request"), ln("⇥[HEADER] V=1 ID=7 "),
                       ln("⇥PutTag ITEM"), ln("⇥⇥A=1"), ln("⇥⇥B=xy")}
        << QList<int>{0} << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("request with header hidden")
        << QList<Call>{send("Client A", "Lookup", lookup)} << false
        << QStringList{ln("[Client A]  Lookup Request"), ln("⇥PutTag ITEM"), ln("⇥⇥A=1"),
                       ln("⇥⇥B=xy")}
        << QList<int>{0} << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("request without header is all data")
        << QList<Call>{send("Client A", "Count", "ITEM␀A=1␀")} << true
        << QStringList{ln("[Client A]  Count Request"), ln("⇥PutTag ITEM"), ln("⇥⇥A=1")}
        << QList<int>{0} << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("header without [DATA] is all header")
        << QList<Call>{send("Client A", "Ping", "[HEADER]␀V=1␀")} << true
        << QStringList{ln("[Client A]  Ping Request"), ln("⇥[HEADER] V=1 ")} << QList<int>{0} << 0
        << QList<int>{-1, 0, -1} << false;
    QTest::newRow("buffer ends with [DATA]")
        << QList<Call>{send("Client A", "Ping", "[HEADER]␀V=1␀[DATA]")} << true
        << QStringList{ln("[Client A]  Ping Request"), ln("⇥[HEADER] V=1 ")} << QList<int>{0} << 0
        << QList<int>{-1, 0, -1} << false;
    QTest::newRow("empty header section")
        << QList<Call>{send("Client A", "Ping", "[HEADER]␀[DATA]␀X␀")} << true
        << QStringList{ln("[Client A]  Ping Request"), ln("⇥[HEADER] "), ln("⇥PutTag X")}
        << QList<int>{0} << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("empty buffer") << QList<Call>{send("Client A", "Ping", "")} << true
                                  << QStringList{ln("[Client A]  Ping Request")} << QList<int>{0}
                                  << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("leading empty fields keep the PutTag label")
        << QList<Call>{send("App", "Get", "␀␀A␀B␀")} << false
        << QStringList{ln("[App]  Get Request"), ln("⇥PutTag A"), ln("⇥⇥B")} << QList<int>{0} << 0
        << QList<int>{-1, 0, -1} << false;
    QTest::newRow("markers are case-sensitive in requests")
        << QList<Call>{send("App", "Get", "[header]␀V=1␀[Data]␀X␀")} << true
        << QStringList{ln("[App]  Get Request"), ln("⇥PutTag [header]"), ln("⇥⇥V=1"),
                       ln("⇥⇥[Data]"), ln("⇥⇥X")}
        << QList<int>{0} << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("reply joins the entry, one-character fields hidden")
        << QList<Call>{send("Client A", "Ping", ""),
                       receive("[HEADER]␀V=1␀RC=0␀[DATA]␀A=1␀Z␀NAME=Smith␀")}
        << true
        << QStringList{ln("[Client A]  Ping Request"), ln("⇥[HEADER] V=1 "), ln("⇥GetTag RC=0"),
                       ln("⇥⇥A=1"), ln("⇥⇥NAME=Smith")}
        << QList<int>{0} << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("reply header hidden") << QList<Call>{receive("[HEADER]␀V=1␀RC=0␀[DATA]␀A=1␀")}
                                         << false << QStringList{ln("⇥GetTag RC=0"), ln("⇥⇥A=1")}
                                         << QList<int>{} << -1 << QList<int>{-1, -1, -1} << false;
    QTest::newRow("one-character fields: shown in requests, not in replies")
        << QList<Call>{send("App", "Get", "A␀B␀"), receive("H␀RC=0␀[DATA]␀A␀B␀")} << false
        << QStringList{ln("[App]  Get Request"), ln("⇥PutTag A"), ln("⇥⇥B"), ln("⇥GetTag RC=0")}
        << QList<int>{0} << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("reply without a separator before RC= adds nothing")
        << QList<Call>{receive("RC=0␀[DATA]␀A=1␀"), receive("V=1␀A=1␀")} << true << QStringList{}
        << QList<int>{} << -1 << QList<int>{-1, -1, -1} << false;
    QTest::newRow("rc= in lower case is no return code")
        << QList<Call>{receive("H␀rc=0␀[DATA]␀A=1␀")} << true << QStringList{} << QList<int>{} << -1
        << QList<int>{-1, -1, -1} << false;
    QTest::newRow("reply text after the last separator is dropped")
        << QList<Call>{receive("H␀RC=0␀[DATA]␀AB␀tail")} << false
        << QStringList{ln("⇥GetTag RC=0"), ln("⇥⇥AB")} << QList<int>{} << -1
        << QList<int>{-1, -1, -1} << false;
    QTest::newRow("reply ends right after the return code")
        << QList<Call>{receive("H␀RC=12␀")} << true << QStringList{ln("⇥H "), ln("⇥GetTag RC=12")}
        << QList<int>{} << -1 << QList<int>{-1, -1, -1} << false;
    QTest::newRow("unclosed return code fails after the header line")
        << QList<Call>{receive("[HEADER]␀V=1␀RC=0")} << true << QStringList{ln("⇥[HEADER] V=1 ")}
        << QList<int>{} << -1 << QList<int>{-1, -1, -1} << true;
    QTest::newRow("note") << QList<Call>{text("Client A", "<Connecting>")} << true
                          << QStringList{ln("[Client A]  <Connecting>")} << QList<int>{0} << 0
                          << QList<int>{-1, 0, -1} << false;
    QTest::newRow("empty application name")
        << QList<Call>{text("", "hello")} << true << QStringList{ln("[]  hello")} << QList<int>{0}
        << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("note text is not interpreted")
        << QList<Call>{text("A", "x␀y\r\nz")} << true << QStringList{ln("[A]  x␀y\r\nz")}
        << QList<int>{0} << 0 << QList<int>{-1, 0, -1} << false;
    QTest::newRow("entries follow each other")
        << QList<Call>{text("A", "<Connecting>"), send("A", "Get", "X␀"),
                       receive("H␀RC=0␀[DATA]␀AB␀"), send("B", "Put", "")}
        << false << QStringList{ln("[A]  <Connecting>"),
                                ln("[A]  Get Request"),
                                ln("⇥PutTag X"),
                                ln("⇥GetTag RC=0"),
                                ln("⇥⇥AB"),
                                ln("[B]  Put Request")}
        << QList<int>{0, 1, 5} << 5 << QList<int>{1, 5, -1} << false;
}

void tst_BufferFormatting::formats()
{
    QFETCH(QList<Call>, calls);
    QFETCH(bool, header);
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, entries);
    QFETCH(int, row);
    QFETCH(QList<int>, entryRows);
    QFETCH(bool, lastFails);

    Preferences().setDisplayHeader(header);
    frmMain window;
    std::optional<HelixError> failure;
    for (const Call &call : calls) {
        switch (call.kind) {
        case 'S':
            window.FormatSendBuffer(call.first, call.second, call.third);
            break;
        case 'R':
            failure = window.FormatReceiveBuffer(call.first);
            break;
        default:
            window.FormatText(call.first, call.second);
            break;
        }
    }
    const DisplayGrid *grid = window.vsf();
    QStringList shown;
    for (int r = 0; r < grid->Rows(); ++r)
        shown << grid->TextMatrix(r, 0);
    QCOMPARE(shown, lines);
    for (int r = 0; r < grid->Rows(); ++r) {
        QCOMPARE(grid->RowData(r) == 1, entries.contains(r));
        QCOMPARE(grid->CellFontBold(r), entries.contains(r));
    }
    QCOMPARE(grid->Row(), row);
    QCOMPARE((QList<int>{window.PreviousEntryRow, window.CurrentEntryRow, window.NextEntryRow}),
             entryRows);
    QCOMPARE(failure.has_value(), lastFails);
    if (failure)
        QCOMPARE(failure->message(), QStringLiteral("5: Invalid procedure call or argument"));
    QVERIFY(grid->Redraw() != 0);
    QVERIFY(!window.IsNavigating);
}

// The grid reports the new current row inside the formatter's Row write, while the window
// is still marked as navigating, so entry tracking can tell its own moves from the user's.
void tst_BufferFormatting::rowChangeIsSeenWhileNavigating()
{
    frmMain window;
    QList<bool> navigating;
    QList<int> rows;
    connect(window.vsf(), &DisplayGrid::RowColChange, this, [&] {
        navigating << window.IsNavigating;
        rows << window.vsf()->Row();
    });
    window.FormatText(QStringLiteral("A"), QStringLiteral("one"));
    window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("Get"), QStringView(u"X\0Y\0", 4));
    QCOMPARE(rows, (QList<int>{0, 1}));
    QCOMPARE(navigating, (QList<bool>{true, true}));
}

// The indent is as wide as "GetTag " in the display font: seven spaces in a fixed-pitch font,
// more in a proportional one, where a space is narrow. Lines already shown keep theirs.
void tst_BufferFormatting::indentFollowsTheFont()
{
    Preferences().setFontName(QStringLiteral("Courier New"));
    Preferences().setFontSize(10);
    frmMain window;
    QCOMPARE(window.ContinuationIndent, QStringLiteral("       "));
    window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("Get"), QStringView(u"X\0", 2));

    Preferences().setFontName(QStringLiteral("Liberation Sans"));
    window.ApplyPreferences();
    const QString indent = window.ContinuationIndent;
    QVERIFY(indent.size() > 7);
    QCOMPARE(indent.count(QLatin1Char(' ')), indent.size());
    window.FormatSendBuffer(QStringLiteral("A"), QStringLiteral("Get"), QStringView(u"Y\0", 2));
    QCOMPARE(window.vsf()->TextMatrix(1, 0), QStringLiteral("       PutTag X"));
    QCOMPARE(window.vsf()->TextMatrix(3, 0), indent + QStringLiteral("PutTag Y"));
    QCOMPARE(window.vsf()->FontName(), QStringLiteral("Liberation Sans"));
    Preferences().setFontName(QStringLiteral("Courier New"));
    Preferences().setFontSize(8);
}

QTEST_MAIN(tst_BufferFormatting)
#include "tst_BufferFormatting.moc"
