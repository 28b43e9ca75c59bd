#include "display/EntryFormatter.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

struct Lines final : EntrySink {
    QStringList lines;
    QList<int> entries;
    void appendLine(QStringView text) override { lines << text.toString(); }
    void startEntry() override { entries << int(lines.size()) - 1; }
};

} // namespace

class tst_EntryFormatter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formats_data()
    {
        QTest::addColumn<QStringList>("calls"); // "S:app|request|buffer", "R:buffer", "T:app|text"
        QTest::addColumn<bool>("header");
        QTest::addColumn<int>("indent");    // spaces
        QTest::addColumn<QString>("lines"); // "first|second|..."
        QTest::addColumn<QList<int>>("entries");
        QTest::addColumn<QString>("reply"); // "-" no reply, "none" no RC=, "unclosed", "RC=..."
        const auto row = [](const char *name, std::initializer_list<const char *> calls,
                            bool header, const char *lines, const QList<int> &entries,
                            const char *reply = "-", int indent = 7) {
            QStringList texts{QString::fromUtf8(lines)};
            for (const char *call : calls)
                texts << QString::fromUtf8(call);
            // Written as in the worked examples: ␀ for the separator, ⇥ for the indent.
            texts.replaceInStrings(u"␀"_s, u"\0"_s).replaceInStrings(u"⇥"_s, QString(indent, u' '));
            QTest::newRow(name) << texts.mid(1) << header << indent << texts[0] << entries << reply;
        };
        row("request with header",
            {"S:Client A|Lookup|[HEADER]␀V=1␀ID=7␀[DATA]␀ITEM␀A=1␀␀B=xy␀tail"}, true,
            "[Client A]  Lookup Request|⇥[HEADER] V=1 ID=7 |⇥PutTag ITEM|⇥⇥A=1|⇥⇥B=xy", {0});
        row("request with header hidden", {"S:A|Lookup|[HEADER]␀V=1␀[DATA]␀ITEM␀A=1␀␀B=xy␀tail"},
            false, "[A]  Lookup Request|⇥PutTag ITEM|⇥⇥A=1|⇥⇥B=xy", {0});
        row("request without header is all data", {"S:A|Count|ITEM␀A=1␀"}, true,
            "[A]  Count Request|⇥PutTag ITEM|⇥⇥A=1", {0});
        row("header without [DATA] is all header", {"S:A|Ping|[HEADER]␀V=1␀"}, true,
            "[A]  Ping Request|⇥[HEADER] V=1 ", {0});
        row("empty header section", {"S:A|Ping|[HEADER]␀[DATA]␀X␀"}, true,
            "[A]  Ping Request|⇥[HEADER] |⇥PutTag X", {0});
        row("empty buffer", {"S:A|Ping|"}, true, "[A]  Ping Request", {0});
        row("leading empty fields keep the PutTag label", {"S:A|Get|␀␀A␀B␀"}, false,
            "[A]  Get Request|⇥PutTag A|⇥⇥B", {0});
        row("markers are case-sensitive in requests", {"S:A|Get|[header]␀V=1␀[Data]␀X␀"}, true,
            "[A]  Get Request|⇥PutTag [header]|⇥⇥V=1|⇥⇥[Data]|⇥⇥X", {0});
        row("[DATA] first, [HEADER] later", {"S:A|Get|␀[DATA]␀X␀[HEADER]␀"}, true,
            "[A]  Get Request|⇥ |⇥PutTag X|⇥⇥[HEADER]", {0});
        row("the indent is the formatter's", {"S:A|Get|[HEADER]␀V␀[DATA]␀X␀Y␀"}, true,
            "[A]  Get Request|⇥[HEADER] V |⇥PutTag X|⇥⇥Y", {0}, "-", 3);
        row("reply joins the entry, one-character fields hidden",
            {"S:A|Ping|", "R:[HEADER]␀V=1␀RC=0␀[DATA]␀A=1␀Z␀NAME=Smith␀"}, true,
            "[A]  Ping Request|⇥[HEADER] V=1 |⇥GetTag RC=0|⇥⇥A=1|⇥⇥NAME=Smith", {0}, "RC=0");
        row("reply header hidden", {"R:[HEADER]␀V=1␀RC=7␀[DATA]␀A=1␀"}, false, "⇥GetTag RC=7|⇥⇥A=1",
            {}, "RC=7");
        row("reply starting with its return code", {"R:␀RC=0␀[DATA]␀AB␀"}, true,
            "⇥ |⇥GetTag RC=0|⇥⇥AB", {}, "RC=0");
        row("no separator before RC= adds nothing", {"R:RC=0␀[DATA]␀A=1␀"}, true, "", {}, "none");
        row("reply without RC= adds nothing", {"R:V=1␀A=1␀"}, true, "", {}, "none");
        row("rc= in lower case is no return code", {"R:H␀rc=0␀[DATA]␀A=1␀"}, true, "", {}, "none");
        row("unclosed return code fails after the header line", {"R:[HEADER]␀V=1␀RC=0"}, true,
            "⇥[HEADER] V=1 ", {}, "unclosed");
        row("unclosed, header hidden: adds nothing", {"R:H␀RC=0"}, false, "", {}, "unclosed");
        row("note text is not interpreted, even without an application name", {"T:|x␀y\r\nz"}, true,
            "[]  x␀y\r\nz", {0});
        row("entries follow each other",
            {"T:A|<Connecting>", "S:A|Get|X␀", "R:H␀RC=0␀[DATA]␀AB␀", "S:B|Put|"}, false,
            "[A]  <Connecting>|[A]  Get Request|⇥PutTag X|⇥GetTag RC=0|⇥⇥AB|[B]  Put Request",
            {0, 1, 5}, "RC=0");
    }

    void formats()
    {
        QFETCH(QStringList, calls);
        QFETCH(bool, header);
        QFETCH(int, indent);
        EntryFormatter formatter;
        formatter.indent = QString(indent, u' ');
        formatter.showHeader = header;
        Lines sink;
        QString lastReply = u"-"_s;
        int added = 0;
        for (const QString &call : calls) {
            const QStringList part = call.mid(2).split(u'|');
            if (call[0] == u'R') {
                const auto received = formatter.formatReceive(sink, part[0]);
                added += received.lines;
                using R = EntryFormatter::Reply;
                lastReply = received.outcome == R::Formatted  ? received.returnCode.toString()
                            : received.outcome == R::Unclosed ? u"unclosed"_s
                                                              : u"none"_s;
            } else {
                added += call[0] == u'S' ? formatter.formatSend(sink, part[0], part[1], part[2])
                                         : formatter.formatText(sink, part[0], part[1]);
            }
        }
        QCOMPARE(added, sink.lines.size());
        QTEST(sink.lines.join(u'|'), "lines");
        QTEST(sink.entries, "entries");
        QTEST(lastReply, "reply");
    }
};

QTEST_APPLESS_MAIN(tst_EntryFormatter)
#include "tst_EntryFormatter.moc"
