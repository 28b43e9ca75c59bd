#include "display/LineText.h"

#include <QStringEncoder>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace LineText {

bool GetLineRange(int scope, const GridPosition &grid, Range &range)
{
    Range found;
    switch (scope) {
    case Selection:
        found = {std::min(grid.row, grid.rowSel), std::max(grid.row, grid.rowSel)};
        if (found.first < 0 || found.last >= grid.rows)
            return false;
        break;
    case CurrentEntry:
        if (grid.currentEntryRow == -1)
            return false;
        found = {grid.currentEntryRow,
                 grid.nextEntryRow != -1 ? grid.nextEntryRow - 1 : grid.rows - 1};
        if (found.last < found.first)
            return false;
        break;
    case AllLines:
        found = {grid.fixedRows, grid.rows - 1};
        if (found.last < found.first)
            return false;
        break;
    default:
        return false;
    }
    range = found;
    return true;
}

namespace {

// Latin-1 bytes as UTF-8 at `out`: runs of ASCII, the usual case, eight bytes at a time.
char *appendLatin1AsUtf8(char *out, const unsigned char *in, qsizetype length)
{
    qsizetype i = 0;
    while (i < length) {
        if (length - i >= 8) {
            std::uint64_t eight;
            std::memcpy(&eight, in + i, 8);
            if ((eight & 0x8080808080808080u) == 0) {
                std::memcpy(out, &eight, 8);
                out += 8;
                i += 8;
                continue;
            }
        }
        const unsigned char c = in[i++];
        if (c < 0x80) {
            *out++ = char(c);
        } else {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Each fresh page costs a fault on its first write, which on a virtual machine can cost more
// than the copy itself: the text asks for huge pages, and for all the pages it will fill in one
// call. Only hints: where the system cannot, the pages come one fault at a time as before.
void prefault(char *start, qsizetype bytes)
{
#ifdef MADV_POPULATE_WRITE
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto at = reinterpret_cast<std::uintptr_t>(start);
    const std::uintptr_t first = (at + page - 1) & ~(page - 1);
    const std::uintptr_t end = (at + std::uintptr_t(bytes)) & ~(page - 1);
    if (end > first) {
        madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
        madvise(reinterpret_cast<void *>(first), end - first, MADV_POPULATE_WRITE);
    }
#else
    Q_UNUSED(start);
    Q_UNUSED(bytes);
#endif
}

} // namespace

QByteArray BuildLinesText(const LineSource &lines, int first, int last)
{
    // Room for the longest the text can be (two bytes a Latin-1 character, three a UTF-16
    // unit), counted from the lengths alone; only the pages written are ever touched.
    qsizetype room = 0;
    qsizetype ascii = 0; // the size when every character is ASCII, as most are
    for (int row = first; row <= last; ++row) {
        const LineView line = lines.line(row);
        room += line.length * (line.wide ? 3 : 2) + 2;
        ascii += line.length + 2;
    }
    QByteArray text(room, Qt::Uninitialized);
    char *const start = text.data();
    prefault(start, ascii);
    char *out = start;
    QStringEncoder toUtf8(QStringEncoder::Utf8); // room holds its worst case, 3 bytes a unit
    for (int row = first; row <= last; ++row) {
        const LineView line = lines.line(row);
        if (line.wide) {
            out = toUtf8.appendToBuffer(out, line.utf16());
        } else {
            out =
                appendLatin1AsUtf8(out, static_cast<const unsigned char *>(line.data), line.length);
        }
        *out++ = '\r';
        *out++ = '\n';
    }
    text.truncate(out - start);
    return text;
}

bool HasNonLatin1Char(const LineView &line)
{
    if (!line.wide) {
        const QLatin1StringView bytes = line.latin1();
        return std::memchr(bytes.data(), 0, std::size_t(bytes.size())) != nullptr;
    }
    const QStringView units = line.utf16();
    return std::any_of(units.begin(), units.end(),
                       [](QChar c) { return c.unicode() == 0 || c.unicode() > 0xFF; });
}

bool RangeNeedsUnicode(const LineSource &lines, int first, int last)
{
    for (int row = first; row <= last; ++row) {
        if (HasNonLatin1Char(lines.line(row)))
            return true;
    }
    return false;
}

} // namespace LineText
