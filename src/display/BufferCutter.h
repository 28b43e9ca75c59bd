#pragma once

#include <QString>
#include <QStringView>

// How HELIX buffers are cut into the pieces that become display lines. A buffer is a run of
// fields, each ended by DataSeparator; markers are matched exactly, with case. Every piece is
// a view into the caller's buffer: nothing is copied.
class BufferCutter {
public:
    static constexpr QChar DataSeparator = QChar(u'\0');

    struct SendBuffer {
        bool hasHeader = false;
        QStringView header; // ends with the separator before "[DATA]" when there is one
        QStringView data;
    };
    static SendBuffer cutSend(QStringView buffer);

    struct ReceiveBuffer {
        bool hasReturnCode = false;    // a separator followed by "RC=" was found
        QStringView header;            // everything before "RC=", its separator included
        bool returnCodeClosed = false; // the "RC=" field has its closing separator
        QStringView returnCode;        // the "RC=..." field itself
        QStringView data;
    };
    static ReceiveBuffer cutReceive(QStringView buffer);

    // Calls f(field) for each field of `data`, in order; text after the last separator is no
    // field. Empty fields are passed too: which fields show is the caller's rule.
    template <typename F> static void forEachField(QStringView data, F &&f)
    {
        qsizetype start = 0;
        for (;;) {
            const qsizetype end = data.indexOf(DataSeparator, start);
            if (end < 0)
                return;
            f(data.sliced(start, end - start));
            start = end + 1;
        }
    }

    // Appends a header section to `line` with every separator shown as one space.
    static void appendHeaderText(QString &line, QStringView header);
};
