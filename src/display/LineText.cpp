#include "display/LineText.h"

#include <algorithm>
#include <cstring>

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

QString BuildLinesText(const LineSource &lines, int first, int last)
{
    // One pass to size the text, one to fill it: no reallocation however many lines there are.
    qsizetype size = 0;
    for (int row = first; row <= last; ++row)
        size += lines.line(row).length + 2;
    QString text(size, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (int row = first; row <= last; ++row) {
        const LineView line = lines.line(row);
        if (line.wide) {
            std::memcpy(out, line.data, std::size_t(line.length) * sizeof(char16_t));
        } else {
            const auto *bytes = static_cast<const unsigned char *>(line.data);
            for (qsizetype i = 0; i < line.length; ++i)
                out[i] = bytes[i];
        }
        out += line.length;
        *out++ = u'\r';
        *out++ = u'\n';
    }
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
