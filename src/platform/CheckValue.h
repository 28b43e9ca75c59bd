#pragma once

#include <QVariant>

// Check boxes hold 0 (unchecked), 1 (checked) or 2 (grey); settings hold Booleans.

// 1 when the value converts to True (true, a non-zero number, "True" or a non-zero numeric
// text in any case), else 0. A null or unconvertible value counts as False.
int CheckValueFromBoolean(const QVariant &value);

// True only for a checked box: the grey state is not a yes.
bool BooleanFromCheckValue(int checkValue);
