#pragma once

#include <QStringView>

#include <optional>

// How stored setting texts read back.
namespace SettingText {

// The text's leading number: leading blanks skipped, then an optional sign, digits, a decimal
// point and an exponent, as far as they go; text that does not begin with a number reads 0.
// "10pt" is 10, "1e1" is 10, "abc" and "" are 0.
double leadingNumber(QStringView text);

// "True"/"False" in any case, or a number (0 is False, any other True). Anything else is not
// a Boolean.
std::optional<bool> toBoolean(QStringView text);

// The number rounded half to even, when the result fits a 32-bit integer.
std::optional<int> toInt32(double number);

} // namespace SettingText
