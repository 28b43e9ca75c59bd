#pragma once

#include "LineSource.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <vector>

// Lines held the way the display holds them: Latin-1 bytes when every character fits, UTF-16
// otherwise.
class FakeLines : public LineSource {
public:
    explicit FakeLines(const QStringList &lines)
    {
        for (const QString &line : lines) {
            const bool wide =
                std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() > 0xFF; });
            mLines.push_back({wide ? QByteArray() : line.toLatin1(), wide ? line : QString()});
        }
    }

    int lineCount() const override { return int(mLines.size()); }

    LineView line(int row) const override
    {
        const Line &line = mLines.at(row);
        if (line.narrow.isNull())
            return {line.wide.utf16(), line.wide.size(), true};
        return {line.narrow.constData(), line.narrow.size(), false};
    }

private:
    struct Line {
        QByteArray narrow;
        QString wide;
    };
    std::vector<Line> mLines;
};

// `text` as UTF-16LE bytes.
inline QByteArray utf16le(const QString &text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    qToLittleEndian<quint16>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

// What a saved file holds; empty when it cannot be read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
