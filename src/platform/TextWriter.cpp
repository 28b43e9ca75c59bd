#include "platform/TextWriter.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Large enough that a million short lines cost a few hundred system calls.
constexpr qsizetype kBufferSize = 64 * 1024;

} // namespace

FileError FileError::fromErrno(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return {76, QStringLiteral("Path not found")};
    case EACCES:
    case EPERM:
    case EROFS:
        return {70, QStringLiteral("Permission denied")};
    case ENOSPC:
    case EDQUOT:
        return {61, QStringLiteral("Disk full")};
    default:
        return {75, QStringLiteral("Path/File access error")};
    }
}

TextWriter::TextWriter()
    : mBuffer(kBufferSize)
{
}

TextWriter::~TextWriter()
{
    (void)close();
}

FileError TextWriter::open(const QString &path, Encoding encoding)
{
    Q_ASSERT(mFd < 0);
    const QByteArray name = QFile::encodeName(path);
    constexpr int flags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC;
    // O_EXCL tells whether this call made the file, which decides the byte-order mark. A file
    // that is there already (or a link to one that is not) is appended to as it is.
    int fd = ::open(name.constData(), flags | O_EXCL, 0644);
    const bool created = fd >= 0;
    if (!created && errno == EEXIST)
        fd = ::open(name.constData(), flags, 0644);
    if (fd < 0)
        return FileError::fromErrno(errno);
    mFd = fd;
    mEncoding = encoding;
    mUsed = 0;
    if (created && encoding == Encoding::Utf16LE)
        return put("\xFF\xFE", 2);
    return {};
}

FileError TextWriter::writeLine(LineView line)
{
    if (FileError error = line.visit([this](auto text) { return putText(text); }))
        return error;
    return writeLine();
}

FileError TextWriter::writeLine(QStringView line)
{
    if (FileError error = putText(line))
        return error;
    return writeLine();
}

FileError TextWriter::writeLine()
{
    return mEncoding == Encoding::Latin1 ? put("\r\n", 2) : put("\r\0\n\0", 4);
}

FileError TextWriter::close()
{
    if (mFd < 0)
        return {};
    FileError error = flush();
    // Linux releases the descriptor even when close fails, so it is never closed twice.
    if (::close(mFd) != 0 && !error)
        error = FileError::fromErrno(errno);
    mFd = -1;
    return error;
}

FileError TextWriter::put(const char *bytes, qsizetype size)
{
    while (size > 0) {
        if (FileError error = makeRoom(1))
            return error;
        const qsizetype n = std::min(size, room());
        std::memcpy(mBuffer.data() + mUsed, bytes, n);
        mUsed += n;
        bytes += n;
        size -= n;
    }
    return {};
}

FileError TextWriter::putText(QLatin1StringView text)
{
    if (mEncoding == Encoding::Latin1)
        return put(text.data(), text.size());
    const char *from = text.data();
    qsizetype left = text.size();
    while (left > 0) {
        if (FileError error = makeRoom(2))
            return error;
        const qsizetype n = std::min(left, room() / 2);
        char *to = mBuffer.data() + mUsed;
        for (qsizetype i = 0; i < n; ++i) {
            to[2 * i] = from[i];
            to[2 * i + 1] = 0;
        }
        mUsed += 2 * n;
        from += n;
        left -= n;
    }
    return {};
}

FileError TextWriter::putText(QStringView text)
{
    const char16_t *from = text.utf16();
    qsizetype left = text.size();
    while (left > 0) {
        // Two bytes hold one UTF-16 unit, or a surrogate pair that becomes one "?".
        if (FileError error = makeRoom(2))
            return error;
        char *to = mBuffer.data() + mUsed;
        qsizetype n = 0;
        if (mEncoding == Encoding::Utf16LE) {
            n = std::min(left, room() / 2);
            qToLittleEndian<quint16>(from, n, to);
            mUsed += 2 * n;
        } else {
            n = std::min(left, room());
            // A pair cut by the end of the buffer would otherwise come out as two characters.
            if (n < left && QChar::isHighSurrogate(from[n - 1]))
                --n;
            mUsed += toLatin1(QStringView(from, n), to);
        }
        from += n;
        left -= n;
    }
    return {};
}

qsizetype TextWriter::toLatin1(QStringView text, char *to)
{
    qsizetype out = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.utf16()[i];
        if (unit < 0x100) {
            to[out++] = char(unit);
            continue;
        }
        to[out++] = '?';
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.utf16()[i + 1]))
            ++i;
    }
    return out;
}

FileError TextWriter::makeRoom(qsizetype bytes)
{
    return room() < bytes ? flush() : FileError();
}

qsizetype TextWriter::room() const
{
    return qsizetype(mBuffer.size()) - mUsed;
}

FileError TextWriter::flush()
{
    const char *from = mBuffer.data();
    qsizetype left = mUsed;
    // Bytes that cannot be written are dropped: the caller learns of the failure and stops.
    mUsed = 0;
    while (left > 0) {
        const ssize_t written = ::write(mFd, from, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return FileError::fromErrno(errno);
        // A device that takes nothing has no room left.
        if (written == 0)
            return FileError::fromErrno(ENOSPC);
        from += written;
        left -= written;
    }
    return {};
}
