#include "session/SessionText.h"

#include <QDateTime>
#include <QLocale>

namespace SessionText {

QString clockTime(std::int64_t wallMs)
{
    return QDateTime::fromMSecsSinceEpoch(wallMs).toString(QStringLiteral("HH:mm:ss.zzz"));
}

namespace {

QString figures(double value, const char *unit)
{
    const int decimals = value < 9.995 ? 2 : value < 99.95 ? 1 : 0;
    return QString::number(value, 'f', decimals) + QLatin1Char(' ') + QLatin1String(unit);
}

} // namespace

QString duration(std::uint64_t micros)
{
    if (micros < 1000)
        return QString::number(micros) + QStringLiteral(" us");
    if (micros < 999'500)
        return figures(double(micros) / 1e3, "ms");
    if (micros < 99'950'000)
        return figures(double(micros) / 1e6, "s");
    const std::uint64_t seconds = (micros + 500'000) / 1'000'000;
    if (seconds < 3600)
        return QString::number(seconds) + QStringLiteral(" s");
    return QStringLiteral("%1 h %2 min")
        .arg(seconds / 3600)
        .arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'));
}

QString gutterLatency(std::uint64_t micros)
{
    if (micros < 9'950)
        return QStringLiteral("+%1 ms").arg(double(micros) / 1e3, 0, 'f', 1);
    if (micros < 9'999'500)
        return QStringLiteral("+%1 ms").arg((micros + 500) / 1000);
    if (micros < 99'950'000)
        return QStringLiteral("+%1 s").arg(double(micros) / 1e6, 0, 'f', 1);
    return QStringLiteral("+%1 s").arg((micros + 500'000) / 1'000'000);
}

QString count(std::uint64_t value)
{
    QLocale english(QLocale::English);
    return english.toString(qulonglong(value));
}

} // namespace SessionText
