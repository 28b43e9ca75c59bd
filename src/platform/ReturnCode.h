#pragma once

#include <QStringView>

// What a reply's return code says: the value after "RC=".
namespace ReturnCode {

// "0" and " 00" are success and an empty value says nothing either way; anything else, a
// number or not, is an error.
bool isError(QStringView value);

} // namespace ReturnCode
