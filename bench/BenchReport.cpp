#include "BenchReport.h"

#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <limits>
#include <malloc.h>

void report(const QString &name, const QString &value, const QString &baseline,
            const QString &target, bool ok)
{
    std::printf("%-44s %14s %14s %14s  %s\n", qPrintable(name), qPrintable(value),
                qPrintable(baseline), qPrintable(target), ok ? "ok" : "MISS");
    std::fflush(stdout);
}

double bestNanoseconds(int runs, const std::function<void()> &f)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        best = std::min(best, double(timer.nsecsElapsed()));
    }
    return best;
}

TimedPair bestInTurns(int runs, const std::function<void()> &value,
                      const std::function<void()> &baseline)
{
    TimedPair best{std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    for (int i = 0; i < runs; ++i) {
        best.baseline = std::min(best.baseline, bestNanoseconds(1, baseline));
        best.value = std::min(best.value, bestNanoseconds(1, value));
    }
    return best;
}

std::size_t heapBytesInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

qint64 residentBytes(qint64 pid)
{
    QFile status(pid ? QStringLiteral("/proc/%1/status").arg(pid)
                     : QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}
