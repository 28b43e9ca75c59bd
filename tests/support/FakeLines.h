#pragma once

#include "platform/LineSource.h"

#include <QFile>
#include <QStringList>
#include <QtEndian>

#include <vector>

// Lines held the way the display holds them: Latin-1 bytes when every character fits, UTF-16
// otherwise, so that both paths of a reader are exercised. Base lets a fake display reuse it.
template <typename Base = LineSource> class FakeLines : public Base {
public:
    explicit FakeLines(const QStringList &lines)
    {
        for (const QString &line : lines) {
            const QByteArray narrow = line.toLatin1(); // '?' for what does not fit
            const bool wide = QString::fromLatin1(narrow) != line;
            mLines.emplace_back(wide ? QByteArray() : narrow, wide ? line : QString());
        }
    }
    int lineCount() const override { return int(mLines.size()); }
    LineView line(int row) const override
    {
        const auto &[narrow, wide] = mLines.at(row);
        return narrow.isNull() ? LineView{wide.utf16(), wide.size(), true}
                               : LineView{narrow.constData(), narrow.size(), false};
    }

private:
    std::vector<std::pair<QByteArray, QString>> mLines;
};

inline QByteArray utf16le(const QString &text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<quint16>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

// Empty when the file cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
