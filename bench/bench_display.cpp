// The display's own costs: formatting and storing lines, memory per line, row lookups at the
// end of a large grid, painting, and one huge buffer.
#include "BenchReport.h"
#include "PlayTraffic.h"
#include "SixteenRules.h"
#include "display/BufferCutter.h"
#include "display/DisplayGrid.h"
#include "display/frmMain.h"
#include "preferences/ClassPreferences.h"
#include "traffic/DemoTraffic.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPixmap>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kLines = 1000000;

// The same lines built the plain way, one QString each, into a QStringList.
void playIntoList(QStringList &lines, const TraceCall &call, const QString &indent)
{
    const auto entry = [&](const QString &text) {
        lines.append(QLatin1Char('[') + call.appName + QStringLiteral("]  ") + text);
    };
    const auto header = [&](QStringView section) {
        QString line = indent;
        BufferCutter::appendHeaderText(line, section);
        lines.append(line);
    };
    switch (call.kind) {
    case TraceCall::Send: {
        entry(call.request + QStringLiteral(" Request"));
        const auto cut = BufferCutter::cutSend(call.buffer);
        if (cut.hasHeader)
            header(cut.header);
        QString label = indent + QStringLiteral("PutTag ");
        BufferCutter::forEachField(cut.data, [&](QStringView field) {
            if (!field.isEmpty()) {
                lines.append(label + field.toString());
                label = indent + indent;
            }
        });
        break;
    }
    case TraceCall::Receive: {
        const auto cut = BufferCutter::cutReceive(call.buffer);
        if (!cut.hasReturnCode || !cut.returnCodeClosed)
            break;
        header(cut.header);
        lines.append(indent + QStringLiteral("GetTag ") + cut.returnCode.toString());
        BufferCutter::forEachField(cut.data, [&](QStringView field) {
            if (field.size() >= 2)
                lines.append(indent + indent + field.toString());
        });
        break;
    }
    case TraceCall::Text:
        entry(call.text);
        break;
    }
}

QList<TraceCall> callsForLines(int lines)
{
    frmMain counter;
    DemoTraffic traffic(42);
    QList<TraceCall> calls;
    int i = 0;
    while (counter.vsf()->Rows() < lines) {
        calls.append(traffic.next(i++ % 2 == 0));
        play(counter, calls.last());
    }
    return calls;
}

void formattingAndMemory(const QList<TraceCall> &calls)
{
    const QString indent = QStringLiteral("       ");
    std::size_t listBytes = 0;
    int listLines = 0;
    std::size_t gridBytes = 0;
    int gridLines = 0;
    const TimedPair ns = bestInTurns(
        5,
        [&] {
            const std::size_t before = heapBytesInUse();
            auto window = std::make_unique<frmMain>();
            for (const TraceCall &call : calls)
                play(*window, call);
            gridBytes = heapBytesInUse() - before;
            gridLines = window->vsf()->Rows();
        },
        [&] {
            const std::size_t before = heapBytesInUse();
            QStringList lines;
            for (const TraceCall &call : calls)
                playIntoList(lines, call, indent);
            listBytes = heapBytesInUse() - before;
            listLines = int(lines.size());
        });
    const double gridNs = ns.value;
    const double listNs = ns.baseline;
    const double perLine = gridNs / gridLines;
    const double listPerLine = listNs / listLines;
    report(QStringLiteral("format+append 1M lines (ns/line)"), fixed(perLine), fixed(listPerLine),
           QStringLiteral("<= baseline"), perLine <= listPerLine);
    const double bytes = double(gridBytes) / gridLines;
    const double listBytesPerLine = double(listBytes) / listLines;
    report(QStringLiteral("memory per stored line (bytes)"), fixed(bytes), fixed(listBytesPerLine),
           QStringLiteral("<= 0.5 x base"), bytes <= listBytesPerLine / 2);
}

void lookups(const QList<TraceCall> &calls)
{
    frmMain window;
    for (const TraceCall &call : calls)
        play(window, call);
    DisplayGrid *grid = window.vsf();
    const int last = grid->Rows() - 1;
    const auto timeAt = [&](int row) {
        constexpr int kCalls = 200000;
        volatile qsizetype sink = 0;
        return bestNanoseconds(5,
                               [&] {
                                   for (int i = 0; i < kCalls; ++i) {
                                       sink = sink + grid->TextMatrix(row, 0).size();
                                       sink = sink + grid->RowData(row);
                                       sink = sink + grid->FindRow(1, row);
                                   }
                               }) /
               kCalls;
    };
    const double near = timeAt(10);
    const double far = timeAt(last);
    report(QStringLiteral("TextMatrix+RowData+FindRow @1M (ns)"), fixed(far), fixed(near),
           QStringLiteral("<= 2 x base"), far <= 2 * near);
}

// A shown grid of `rows` lines at its end, and a canvas to render its viewport into.
struct PaintedGrid {
    DisplayGrid grid;
    QPixmap canvas;
    explicit PaintedGrid(int rows)
    {
        grid.resize(1200, 900);
        for (int i = 0; i < rows; ++i)
            grid.AddItem(QStringLiteral("       PutTag CUSTOMER=%1 NAME=Smith STATUS=open").arg(i));
        for (int i = 0; i < rows; i += 7) {
            grid.setRowData(i, 1);
            grid.setCellFontBold(i, true);
        }
        grid.show();
        grid.setRow(rows - 1);
        grid.ShowCell(rows - 1, 0);
        canvas = QPixmap(grid.viewport()->size());
    }
    void paint() { grid.viewport()->render(&canvas); }
};

void painting()
{
    PaintedGrid small(100);
    PaintedGrid large(kLines);
    const TimedPair ns = bestInTurns(
        30, [&] { large.paint(); }, [&] { small.paint(); });
    report(QStringLiteral("paint full screen @1M rows (us)"), fixed(ns.value / 1000),
           fixed(ns.baseline / 1000), QStringLiteral("<= 2 x base"), ns.value <= 2 * ns.baseline);

    // With sixteen rules set afresh before every paint, so that no entry's verdict is kept.
    PaintedGrid highlighted(kLines);
    const std::vector<HighlightRule> rules = sixteenRules();
    const TimedPair rulesNs = bestInTurns(
        30,
        [&] {
            highlighted.grid.setHighlightRules(rules);
            highlighted.paint();
        },
        [&] { large.paint(); });
    report(QStringLiteral("paint full screen @1M rows, 16 rules (us)"), fixed(rulesNs.value / 1000),
           fixed(rulesNs.baseline / 1000) + QStringLiteral(" none"),
           QStringLiteral("<= 1.5 x base"), rulesNs.value <= 1.5 * rulesNs.baseline);
}

// Copying all lines against writing the same bytes with a plain buffered fwrite.
void copying(const QList<TraceCall> &calls)
{
    frmMain window;
    for (const TraceCall &call : calls)
        play(window, call);
    DisplayGrid &grid = *window.vsf();
    const int last = grid.Rows() - 1;
    QByteArray bytes;
    for (int row = 0; row <= last; ++row) {
        bytes += grid.line(row).toString().toLatin1();
        bytes += "\r\n";
    }
    bytes += "\r\n";
    QTemporaryDir dir;
    const QString plainPath = dir.filePath(QStringLiteral("plain.txt"));
    const TimedPair ns = bestInTurns(
        7, [&] { window.CopyLinesToClipboard(2); },
        [&] {
            QFile::remove(plainPath);
            FILE *out = std::fopen(QFile::encodeName(plainPath).constData(), "ab");
            for (qsizetype at = 0; at < bytes.size(); at += 4096)
                std::fwrite(bytes.constData() + at, 1,
                            std::size_t(std::min<qsizetype>(4096, bytes.size() - at)), out);
            std::fclose(out);
        });
    report(QStringLiteral("copy all of 1M lines (ms)"), fixed(ns.value / 1e6),
           fixed(ns.baseline / 1e6) + QStringLiteral(" fwrite"), QStringLiteral("<= 2 x base"),
           ns.value <= 2 * ns.baseline);
}

// Going to the last entry and following a click, at the end of a large grid and of a small
// one with entries of the same length.
void navigation(const QList<TraceCall> &calls)
{
    const auto timeIn = [](frmMain &window) {
        constexpr int kRepeats = 20000;
        DisplayGrid &grid = *window.vsf();
        return bestNanoseconds(3,
                               [&] {
                                   for (int i = 0; i < kRepeats; ++i) {
                                       window.ToolClick(QStringLiteral("tbrLast"));
                                       grid.setRow(grid.Rows() - 1);
                                   }
                               }) /
               kRepeats;
    };
    // Both grids end with the same entry, so the work per step is the same but for the grid's
    // size.
    const TraceCall lastEntry{TraceCall::Send,
                              QStringLiteral("Bench"),
                              QStringLiteral("Last"),
                              {},
                              QString::fromUtf16(u"A=1\0B=2\0C=3\0D=4\0E=5\0F=6\0G=7\0H=8\0", 32)};
    frmMain large;
    for (const TraceCall &call : calls)
        play(large, call);
    play(large, lastEntry);
    frmMain small;
    for (int i = 0; small.vsf()->Rows() < 100; ++i)
        play(small, calls[i]);
    play(small, lastEntry);
    const double far = timeIn(large);
    const double near = timeIn(small);
    report(QStringLiteral("GoToLastEntry+SyncEntryRows @1M (us)"), fixed(far / 1000, 2),
           fixed(near / 1000, 2) + QStringLiteral(" @100"), QStringLiteral("<= 2 x base"),
           far <= 2 * near);
}

QString hugeBuffer(int fields)
{
    QString buffer;
    buffer.reserve(qsizetype(fields) * 26);
    for (int i = 0; i < fields; ++i) {
        buffer += QStringLiteral("FIELD%1=VALUE-%2")
                      .arg(i % 1000, 4, 10, QLatin1Char('0'))
                      .arg(i, 8, 10, QLatin1Char('0'));
        buffer += QChar(u'\0');
    }
    return buffer;
}

void hugeBuffers()
{
    const QString big = hugeBuffer(1000000);
    const QString small = hugeBuffer(1000);
    // Only the formatting is timed: each run's window is made before the clock starts.
    const auto timed = [](const QString &buffer, int calls) {
        double best = 1e300;
        for (int run = 0; run < 3; ++run) {
            frmMain window;
            QElapsedTimer clock;
            clock.start();
            for (int i = 0; i < calls; ++i)
                window.FormatSendBuffer(QStringLiteral("Bulk"), QStringLiteral("Export"), buffer);
            best = std::min(best, double(clock.nsecsElapsed()));
        }
        return best;
    };
    const double perBig = timed(big, 1) / 1000000;
    const double perSmall = timed(small, 100) / (100 * 1000);
    report(QStringLiteral("50 MB buffer, 1M fields (ns/field)"), fixed(perBig), fixed(perSmall),
           QStringLiteral("<= 2 x base"), perBig <= 2 * perSmall);
}

} // namespace

// Clearing ten million lines, against clearing one million, and the memory it gives back.
void clearing(const QList<TraceCall> &calls)
{
    const auto timedClear = [&](int rounds, qint64 *held, qint64 *returned) {
        const qint64 before = residentBytes(0);
        frmMain window;
        for (int round = 0; round < rounds; ++round) {
            for (const TraceCall &call : calls)
                play(window, call);
        }
        const qint64 full = residentBytes(0);
        QElapsedTimer clock;
        clock.start();
        window.ToolClick(QStringLiteral("tbrClear"));
        const double spent = double(clock.nsecsElapsed());
        *held = full - before;
        *returned = full - residentBytes(0);
        return spent;
    };
    qint64 held = 0;
    qint64 returned = 0;
    const double small = timedClear(1, &held, &returned);
    const double large = timedClear(10, &held, &returned);
    report(QStringLiteral("clear 10M lines (ms)"), fixed(large / 1e6, 1),
           fixed(small / 1e6, 1) + QStringLiteral(" @1M"), QStringLiteral("<= 10 x base"),
           large <= 10 * small);
    report(QStringLiteral("memory returned by the clear (MB)"), fixed(returned / 1048576.0, 0),
           fixed(held / 1048576.0, 0) + QStringLiteral(" held"), QStringLiteral(">= 90% of held"),
           returned >= 0.9 * held);
}

// While calls arrive as fast as they can, the screen still follows: the longest pause between
// two repaints of a shown grid.
void repaintsWhileFlooded(const QList<TraceCall> &calls)
{
    frmMain window;
    window.resize(1000, 700);
    window.show();
    QList<qint64> paints;
    QElapsedTimer clock;
    clock.start();
    struct PaintWatch : QObject {
        QList<qint64> *paints;
        QElapsedTimer *clock;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                paints->append(clock->elapsed());
            return false;
        }
    } watch;
    watch.paints = &paints;
    watch.clock = &clock;
    window.vsf()->viewport()->installEventFilter(&watch);
    qsizetype next = 0;
    while (clock.elapsed() < 2000) {
        // A burst of calls as one event-loop turn would serve them, then the loop runs.
        for (int i = 0; i < 200; ++i)
            play(window, calls[next++ % calls.size()]);
        QCoreApplication::processEvents();
    }
    qint64 longest = paints.isEmpty() ? 2000 : paints.first();
    for (qsizetype i = 1; i < paints.size(); ++i)
        longest = std::max(longest, paints[i] - paints[i - 1]);
    report(QStringLiteral("longest pause between repaints (ms)"), QString::number(longest),
           QString::number(paints.size()) + QStringLiteral(" paints"), QStringLiteral("<= 100 ms"),
           longest <= 100);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Preferences().setDisplayHeader(true);
    const QList<TraceCall> calls = callsForLines(kLines);
    formattingAndMemory(calls);
    lookups(calls);
    copying(calls);
    navigation(calls);
    painting();
    hugeBuffers();
    repaintsWhileFlooded(calls);
    clearing(calls);
    return 0;
}
