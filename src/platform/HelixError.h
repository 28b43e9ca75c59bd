#pragma once

#include <QString>

// A failure as callers see it: the classic runtime error number and text, plus the short
// name under which the D-Bus interface reports it.
struct HelixError {
    int number = 0;
    QString name;
    QString description;

    static HelixError invalidArgument()
    {
        return {5, QStringLiteral("InvalidArgument"),
                QStringLiteral("Invalid procedure call or argument")};
    }
    static HelixError duplicateKey()
    {
        return {
            457, QStringLiteral("DuplicateKey"),
            QStringLiteral("This key is already associated with an element of this collection")};
    }

    // "5: Invalid procedure call or argument"
    QString message() const { return QString::number(number) + QStringLiteral(": ") + description; }
};
