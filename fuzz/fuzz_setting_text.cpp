#include "FuzzCheck.h"
#include "platform/Rounding.h"
#include "preferences/SettingText.h"

#include <QString>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool canContinueNumber(QStringView text, qsizetype at)
{
    if (at >= text.size())
        return false;
    const QChar c = text[at];
    return isDigit(c) || c == u'.' || c == u'e' || c == u'E';
}

// What texts simple enough to read by hand are worth: blanks, a sign, up to 15 digits (exact
// in a double), then ".5", an exponent of one or two digits or nothing, then anything that
// cannot continue a number. Other texts give nothing to compare with.
std::optional<double> plainValue(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    double sign = 1;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        sign = text[i++] == u'-' ? -1 : 1;
    const qsizetype first = i;
    std::int64_t value = 0;
    while (i < text.size() && isDigit(text[i]) && i - first < 15)
        value = value * 10 + (text[i++].unicode() - u'0');
    if (i == first)
        return i < text.size() && text[i] == u'.' ? std::nullopt : std::optional<double>(0.0);
    if (!canContinueNumber(text, i))
        return sign * double(value);
    if (text[i] == u'.' && i + 1 < text.size() && text[i + 1] == u'5' &&
        !canContinueNumber(text, i + 2))
        return sign * (double(value) + 0.5);
    if (text[i] != u'e' && text[i] != u'E')
        return std::nullopt;
    // An exponent counts only with digits after it: "5e" and "5ex" are 5.
    const qsizetype exponentStart = i + 1;
    if (exponentStart < text.size() && (text[exponentStart] == u'+' || text[exponentStart] == u'-'))
        return std::nullopt;
    if (exponentStart >= text.size() || !isDigit(text[exponentStart]))
        return sign * double(value);
    qsizetype j = exponentStart;
    int exponent = 0;
    while (j < text.size() && isDigit(text[j]) && j - exponentStart < 2)
        exponent = exponent * 10 + (text[j++].unicode() - u'0');
    if (canContinueNumber(text, j))
        return std::nullopt;
    for (int e = 0; e < exponent; ++e) {
        if (value > (std::int64_t(1) << 53) / 10)
            return std::nullopt;
        value *= 10;
    }
    return sign * double(value);
}

bool isAscii(QStringView text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

QString asciiLower(QStringView text)
{
    QString lower = text.toString();
    for (QChar &c : lower) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return lower;
}

bool onlyDigits(QStringView text)
{
    if (text.isEmpty() || text.size() > 15)
        return false;
    for (QChar c : text) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

bool onlyLetters(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

void checkNumber(QStringView text)
{
    const double number = SettingText::leadingNumber(text);
    FUZZ_CHECK(!std::isnan(number));
    if (const std::optional<double> plain = plainValue(text))
        FUZZ_CHECK(number == *plain);
    // Leading blanks and a character that cannot continue the number change nothing.
    FUZZ_CHECK(SettingText::leadingNumber(QStringLiteral(" \t") + text.toString()) == number);
    FUZZ_CHECK(SettingText::leadingNumber(text.toString() + QLatin1Char('z')) == number);
}

void checkBoolean(QStringView text)
{
    const std::optional<bool> value = SettingText::toBoolean(text);
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        FUZZ_CHECK(!value);
    } else if (isAscii(trimmed) && asciiLower(trimmed) == u"true") {
        FUZZ_CHECK(value == true);
    } else if (isAscii(trimmed) && asciiLower(trimmed) == u"false") {
        FUZZ_CHECK(value == false);
    } else if (onlyDigits(trimmed)) {
        FUZZ_CHECK(value == (plainValue(trimmed).value() != 0));
    } else if (onlyLetters(trimmed)) {
        // A word is no number, whatever a number parser makes of "nan" or "inf".
        FUZZ_CHECK(!value);
    }
}

void checkInt32(double number)
{
    constexpr double Min = std::numeric_limits<int>::min();
    constexpr double Max = std::numeric_limits<int>::max();
    const std::optional<int> value = SettingText::toInt32(number);
    if (!std::isfinite(number) || number < Min - 0.5 || number > Max + 0.5)
        FUZZ_CHECK(!value);
    else if (number >= Min && number <= Max)
        FUZZ_CHECK(value.has_value());
    if (!value)
        return;
    FUZZ_CHECK(double(*value) == roundHalfEven(number));
    const double off = std::fabs(number - double(*value));
    FUZZ_CHECK(off <= 0.5);
    if (off == 0.5)
        FUZZ_CHECK(*value % 2 == 0);
}

} // namespace

// Like the application (QCoreApplication does the same on Unix), take the locale from the
// environment: reading a setting must not depend on it.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (!std::setlocale(LC_ALL, "")) {
        std::fprintf(stderr, "the locale named in the environment is not installed\n");
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkNumber(text);
    checkBoolean(text);
    checkInt32(SettingText::leadingNumber(text));
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        checkInt32(raw);
    }
    return 0;
}
