#include "display/EntryNavigation.h"

#include <algorithm>

// Rows past the end are skipped: clearing notifies the change of row while the entry rows
// still name rows of the lines just removed.
int entryStartAtOrAbove(const EntryRowsView &rows, int from, int to)
{
    for (int row = std::min(from, rows.rowCount() - 1); row >= to; --row) {
        if (rows.startsEntry(row))
            return row;
    }
    return -1;
}

void EntryNavigation::lookAhead(const EntryRowsView &rows)
{
    if (current < rows.rowCount() - 1) {
        const int found = rows.nextEntryStart(current + 1);
        if (found != -1)
            next = found;
    }
}

std::optional<int> EntryNavigation::first(const EntryRowsView &rows)
{
    if (rows.rowCount() == 0)
        return std::nullopt;
    previous = -1;
    next = -1;
    current = 0;
    lookAhead(rows);
    return current;
}

int EntryNavigation::previousEntry(const EntryRowsView &rows, int row)
{
    if (row != current)
        return current;
    next = current;
    current = previous;
    previous = -1;
    const int found = entryStartAtOrAbove(rows, current - 1, 0);
    if (found != -1)
        previous = found;
    return current;
}

int EntryNavigation::nextEntry(const EntryRowsView &rows)
{
    previous = current;
    current = next;
    next = -1;
    lookAhead(rows);
    return current;
}

int EntryNavigation::last(const EntryRowsView &rows)
{
    next = -1;
    previous = -1;
    const int found = entryStartAtOrAbove(rows, rows.rowCount() - 1, 0);
    if (found != -1)
        current = found;
    const int before = entryStartAtOrAbove(rows, current - 1, 0);
    if (before != -1)
        previous = before;
    return current;
}

void EntryNavigation::sync(const EntryRowsView &rows, int row, int fixedRows)
{
    previous = -1;
    next = -1;
    const int found = entryStartAtOrAbove(rows, row, fixedRows);
    if (found != -1)
        current = found;
    lookAhead(rows);
    const int before = entryStartAtOrAbove(rows, current - 1, fixedRows);
    if (before != -1)
        previous = before;
}

void EntryNavigation::entryAdded(int row)
{
    if (current != -1)
        previous = current;
    current = row;
    next = -1;
}

void EntryNavigation::clear()
{
    previous = -1;
    current = -1;
    next = -1;
}
