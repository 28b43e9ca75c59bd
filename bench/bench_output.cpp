// Saving: a million display lines appended to a text file, against writing the same bytes
// with stdio.
#include "BenchReport.h"
#include "output/ClassFileSystem.h"
#include "platform/LineSource.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int kLines = 1000000;

// Trace-like lines held as Latin-1 bytes, as the display holds most of them.
class Lines : public LineSource {
public:
    Lines()
    {
        mLines.reserve(kLines);
        for (int i = 0; i < kLines; ++i) {
            QString line;
            switch (i % 4) {
            case 0:
                line = QStringLiteral("[Order Entry]  Lookup Request");
                break;
            case 1:
                line = QStringLiteral("       PutTag ITEM=%1").arg(i, 8, 10, QLatin1Char('0'));
                break;
            case 2:
                line = QStringLiteral("              NAME=Customer %1, Main Street").arg(i);
                break;
            default:
                line = QStringLiteral("       GetTag RC=0");
            }
            mLines.push_back(line.toLatin1());
        }
    }

    int lineCount() const override { return int(mLines.size()); }
    LineView line(int row) const override
    {
        return {mLines[row].constData(), mLines[row].size(), false};
    }

private:
    std::vector<QByteArray> mLines;
};

// The file's bytes line by line through stdio's buffer, encoded beforehand.
double stdioNanoseconds(const QString &path, const std::vector<QByteArray> &encoded,
                        const QByteArray &lineEnd)
{
    return bestNanoseconds(5, [&] {
        QFile::remove(path);
        FILE *file = std::fopen(QFile::encodeName(path).constData(), "ab");
        for (const QByteArray &line : encoded) {
            std::fwrite(line.constData(), 1, line.size(), file);
            std::fwrite(lineEnd.constData(), 1, lineEnd.size(), file);
        }
        std::fwrite(lineEnd.constData(), 1, lineEnd.size(), file);
        std::fclose(file);
    });
}

void save(const Lines &lines, const QString &path, bool unicode)
{
    std::vector<QByteArray> encoded;
    encoded.reserve(kLines);
    for (int row = 0; row < kLines; ++row) {
        const QString text = lines.line(row).toString();
        encoded.push_back(unicode ? QByteArray(QStringEncoder(QStringEncoder::Utf16LE)(text))
                                  : text.toLatin1());
    }
    const double baseline =
        stdioNanoseconds(path, encoded, unicode ? QByteArray("\r\0\n\0", 4) : "\r\n");
    const double ours = bestNanoseconds(5, [&] {
        QFile::remove(path);
        FileSystem().WriteLinesToFile(&lines, 0, kLines - 1, path, unicode);
    });
    report(unicode ? QStringLiteral("save 1M lines as UTF-16 (ms)")
                   : QStringLiteral("save 1M lines as Latin-1 (ms)"),
           fixed(ours / 1e6), fixed(baseline / 1e6), QStringLiteral("<= 2 x base"),
           ours <= 2 * baseline);
}

} // namespace

int main()
{
    const Lines lines;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.txt"));
    save(lines, path, false);
    save(lines, path, true);
    return 0;
}
