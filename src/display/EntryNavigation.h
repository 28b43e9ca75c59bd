#pragma once

#include <optional>

// The display's rows as entry navigation sees them: how many there are and which of them
// start an entry.
class EntryRowsView {
public:
    virtual int rowCount() const = 0;
    virtual bool startsEntry(int row) const = 0;
    // The first row at or after `from` that starts an entry, or -1.
    virtual int nextEntryStart(int from) const = 0;

protected:
    ~EntryRowsView() = default;
};

// Moving from entry to entry: the first rows of the previous, current and next entry, kept
// in step with the current row. Each move returns the row to make current.
class EntryNavigation {
public:
    // -1 for none.
    int previous = -1;
    int current = -1;
    int next = -1;

    // Row 0 is taken as the first entry's first row whether or not it starts one. Nothing
    // moves when there are no rows.
    std::optional<int> first(const EntryRowsView &rows);
    // Inside an entry (`row` below its first row) this only returns to the entry's first row;
    // from there it goes back one.
    int previousEntry(const EntryRowsView &rows, int row);
    int nextEntry(const EntryRowsView &rows);
    int last(const EntryRowsView &rows);
    // Follows the current row when something other than navigation moved it.
    void sync(const EntryRowsView &rows, int row, int fixedRows);

    // A new entry at `row` becomes current.
    void entryAdded(int row);
    void clear();

    // Whether First and Up, and Down and Last, have somewhere to go from `row`.
    bool canGoBack(int row) const { return row > current || previous != -1; }
    bool canGoForward() const { return next != -1; }

private:
    void lookAhead(const EntryRowsView &rows);
};

// The nearest row at or above `from` (rows past the end skipped), down to `to`, that starts an
// entry; -1 when there is none.
int entryStartAtOrAbove(const EntryRowsView &rows, int from, int to);
