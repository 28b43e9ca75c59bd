#include "preferences/SettingText.h"

#include "platform/Rounding.h"

#include <QByteArray>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace SettingText {

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

double leadingNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    QByteArray number;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        number += char(text[i++].unicode());
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        number += char(text[i++].unicode());
        ++digits;
    }
    if (i < text.size() && text[i] == QLatin1Char('.')) {
        number += '.';
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            number += char(text[i++].unicode());
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    // An exponent counts only when digits follow it: "5e" is 5.
    if (i + 1 < text.size() && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        QByteArray exponent("e");
        if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            exponent += char(text[j++].unicode());
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                exponent += char(text[j++].unicode());
            number += exponent;
        }
    }
    // Not strtod: QCoreApplication adopts the operator's locale, and under one whose decimal
    // mark is a comma "7.5" would stop at the point and read 7.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return strtod_l(number.constData(), nullptr, cLocale);
}

std::optional<bool> toBoolean(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = trimmed.toString().toDouble(&ok);
    // toDouble also reads the words "inf" and "nan", which are no numbers here.
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number != 0;
}

std::optional<int> toInt32(double number)
{
    if (!std::isfinite(number))
        return std::nullopt;
    const double rounded = roundHalfEven(number);
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(rounded);
}

} // namespace SettingText
