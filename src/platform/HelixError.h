#pragma once

#include <QString>

// A failure as callers see it: the short name under which the D-Bus interface reports it and
// a text. Failures the classic runtime numbers (5, 457) carry that number in front of the
// text; failures it never knew (bad encodings, oversized buffers) have number 0.
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

    // "5: Invalid procedure call or argument", or the bare text for an unnumbered failure.
    QString message() const
    {
        return number ? QString::number(number) + QStringLiteral(": ") + description : description;
    }
};
