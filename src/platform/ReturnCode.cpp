#include "platform/ReturnCode.h"

#include <QString>

namespace ReturnCode {

bool isError(QStringView value)
{
    const QStringView trimmed = value.trimmed();
    if (trimmed.isEmpty())
        return false;
    bool ok = false;
    const qlonglong number = trimmed.toLongLong(&ok);
    return !ok || number != 0;
}

} // namespace ReturnCode
