// Search over a million display lines: a text that is nowhere, so the scan runs the whole
// wrap-around, against grep over the same lines in a file.
#include "BenchReport.h"
#include "PlayTraffic.h"
#include "display/DisplayGrid.h"
#include "display/frmMain.h"
#include "find/ClassFind.h"
#include "preferences/ClassPreferences.h"
#include "traffic/DemoTraffic.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

constexpr int kLines = 1000000;

double grepNanoseconds(const QString &file, const QStringList &options, const QString &text)
{
    return bestNanoseconds(3, [&] {
        QProcess grep;
        grep.start(QStringLiteral("grep"), options + QStringList{text, file});
        grep.waitForFinished(-1);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Preferences().setDisplayHeader(true);
    frmMain window;
    DemoTraffic traffic(11);
    for (int i = 0; window.vsf()->Rows() < kLines; ++i)
        play(window, traffic.next(i % 2 == 0));
    DisplayGrid &grid = *window.vsf();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lines.txt"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    for (int row = 0; row < grid.Rows(); ++row)
        file.write(grid.line(row).toString().toUtf8() + '\n');
    file.close();

    const QString absent = QStringLiteral("NoSuchValue");
    for (const bool matchCase : {true, false}) {
        Finder().SetFindOptions(absent, false, matchCase, 1);
        grid.setRow(grid.Rows() / 2);
        const double ours = bestNanoseconds(3, [] { Finder().FindNext(1); });
        const QStringList options =
            matchCase
                ? QStringList{QStringLiteral("-F"), QStringLiteral("-c")}
                : QStringList{QStringLiteral("-F"), QStringLiteral("-i"), QStringLiteral("-c")};
        const double grep = grepNanoseconds(path, options, absent);
        report(matchCase ? QStringLiteral("find, no hit, 1M lines, case (ms)")
                         : QStringLiteral("find, no hit, 1M lines, no case (ms)"),
               fixed(ours / 1e6), fixed(grep / 1e6) + QStringLiteral(" grep"),
               QStringLiteral("<= 2 x base"), ours <= 2 * grep);
    }
    return 0;
}
