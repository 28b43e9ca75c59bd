#include "platform/CheckValue.h"

#include <cmath>

namespace {

bool textIsTrue(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool isNumber = false;
    const double number = trimmed.toDouble(&isNumber);
    // "inf" and "nan" parse as numbers but are words, and words other than True are False.
    return isNumber && std::isfinite(number) && number != 0;
}

} // namespace

int CheckValueFromBoolean(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return vbUnchecked;
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? vbChecked : vbUnchecked;
    case QMetaType::QString:
        return textIsTrue(value.toString()) ? vbChecked : vbUnchecked;
    default:
        break;
    }
    bool isNumber = false;
    const double number = value.toDouble(&isNumber);
    return isNumber && number != 0 ? vbChecked : vbUnchecked;
}

bool BooleanFromCheckValue(int checkValue)
{
    return checkValue == vbChecked;
}
