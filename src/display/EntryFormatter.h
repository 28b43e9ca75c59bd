#pragma once

#include <QString>
#include <QStringView>

// Where formatted lines go: appended one after another at the end of the display.
class EntrySink {
public:
    virtual void appendLine(QStringView text) = 0;
    // The line appended last is the first line of a new entry.
    virtual void startEntry() = 0;

protected:
    ~EntrySink() = default;
};

// Turns one traced call into display lines: an entry's first line "[AppName]  ...", the
// header line while headers are shown, and each field under its label, indented. It knows
// nothing of where the lines go.
class EntryFormatter {
public:
    // As wide as "GetTag " in the display font.
    QString indent = QStringLiteral("       ");
    bool showHeader = false;

    // A request starts an entry; returns the number of lines appended.
    int formatSend(EntrySink &sink, const QString &appName, const QString &request,
                   QStringView buffer);

    enum class Reply {
        NoReturnCode, // no separator followed by "RC=": nothing is appended
        Unclosed,     // the "RC=" field has no closing separator: the header line stays
        Formatted,
    };
    struct Received {
        Reply outcome = Reply::NoReturnCode;
        int lines = 0;
        QStringView returnCode; // the "RC=..." field, a view into the buffer
    };
    // A reply joins the entry above it.
    Received formatReceive(EntrySink &sink, QStringView buffer);

    // A note starts an entry of one line; its text is not interpreted.
    int formatText(EntrySink &sink, const QString &appName, const QString &text);

private:
    void appendHeader(EntrySink &sink, QStringView header);
    void appendLine(EntrySink &sink, QStringView label, QStringView body);
    void startEntry(EntrySink &sink, const QString &appName, QStringView text);

    // Reused for every line built, so formatting a buffer allocates nothing per line.
    QString mLine;
};
