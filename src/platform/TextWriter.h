#pragma once

#include "platform/LineSource.h"

#include <QString>
#include <QStringView>

#include <vector>

// A failed file operation as the classic runtime numbers it, e.g. 76 "Path not found";
// number 0 is success.
struct FileError {
    int number = 0;
    QString description;

    explicit operator bool() const { return number != 0; }

    // The runtime's number and text for a POSIX errno value.
    static FileError fromErrno(int code);
};

// Appends text lines, each ended by CR LF, to a file in Latin-1 or UTF-16LE. A file is only
// ever appended to, so a save that fails part-way leaves what the file held before intact.
// Output is buffered; every write and the close report failures as values.
class TextWriter {
public:
    enum class Encoding { Latin1, Utf16LE };

    TextWriter();
    // Closes a file still open; a failure there goes unreported, so callers close themselves.
    ~TextWriter();
    TextWriter(const TextWriter &) = delete;
    TextWriter &operator=(const TextWriter &) = delete;

    // Opens `path` for appending, creating it when missing. A UTF-16LE file gets its
    // byte-order mark only when this call created it. One file per writer.
    [[nodiscard]] FileError open(const QString &path, Encoding encoding);

    // Characters above U+00FF become "?" in a Latin-1 file.
    [[nodiscard]] FileError writeLine(LineView line);
    [[nodiscard]] FileError writeLine(QStringView line);
    // An empty line.
    [[nodiscard]] FileError writeLine();

    // Writes what is buffered and closes; a writer that is not open succeeds at once.
    [[nodiscard]] FileError close();

private:
    FileError put(const char *bytes, qsizetype size);
    FileError putText(QLatin1StringView text);
    FileError putText(QStringView text);
    // Writes `text` as Latin-1 at `to`, one byte a character; returns the bytes written.
    static qsizetype toLatin1(QStringView text, char *to);
    FileError makeRoom(qsizetype bytes);
    qsizetype room() const;
    FileError flush();

    int mFd = -1;
    Encoding mEncoding = Encoding::Latin1;
    std::vector<char> mBuffer;
    qsizetype mUsed = 0;
};
