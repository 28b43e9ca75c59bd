#pragma once

#include <QVariant>

// Check boxes hold a check value; settings hold Booleans.
constexpr int vbUnchecked = 0;
constexpr int vbChecked = 1;
constexpr int vbGrayed = 2;

// vbChecked when the value converts to True (true, a non-zero number, "True" or a non-zero numeric
// text in any case), else vbUnchecked. A null or unconvertible value counts as False.
int CheckValueFromBoolean(const QVariant &value);

// True only for a checked box: the grey state is not a yes.
bool BooleanFromCheckValue(int checkValue);
