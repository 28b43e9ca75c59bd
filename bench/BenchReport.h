#pragma once

#include <QString>

#include <cstddef>
#include <functional>

// One benchmark figure a line: name, value, the baseline measured in the same run, the
// target, and "ok" or "MISS".
void report(const QString &name, const QString &value, const QString &baseline,
            const QString &target, bool ok);

// Best of `runs` timings of f, in nanoseconds: the least disturbed run is the truest.
double bestNanoseconds(int runs, const std::function<void()> &f);

// Best of `runs` timings each of a figure and its baseline, measured in turns, so that a
// disturbance of the machine meets both alike and only a real change moves the verdict.
struct TimedPair {
    double value;
    double baseline;
};
TimedPair bestInTurns(int runs, const std::function<void()> &value,
                      const std::function<void()> &baseline);

// Bytes the heap currently holds for the program (small and mapped allocations).
std::size_t heapBytesInUse();

QString fixed(double value, int decimals = 1);

// Resident memory of a process (0: this one), in bytes.
qint64 residentBytes(qint64 pid);
