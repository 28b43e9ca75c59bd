#include "BenchReport.h"

#include <QElapsedTimer>

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

std::size_t heapBytesInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}
