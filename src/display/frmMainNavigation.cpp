// Moving from entry to entry, and keeping the entry rows in step with the current row.
#include "DisplayGrid.h"
#include "frmMain.h"

#include <algorithm>

// The nearest marked row at or above `from`, down to `to`; -1 when there is none. Rows past
// the end are skipped: clearing notifies the change of row while the entry rows still name
// rows of the lines just removed.
int frmMain::searchBack(int from, int to) const
{
    for (int row = std::min(from, mGrid->Rows() - 1); row >= to; --row) {
        if (mGrid->RowData(row) == 1)
            return row;
    }
    return -1;
}

void frmMain::lookAhead()
{
    if (CurrentEntryRow < mGrid->Rows() - 1) {
        const int next = mGrid->FindRow(1, CurrentEntryRow + 1);
        if (next != -1)
            NextEntryRow = next;
    }
}

// Row 0 is taken as the first entry's first row whether or not it is marked.
void frmMain::GoToFirstEntry()
{
    if (mGrid->Rows() == 0)
        return;
    PreviousEntryRow = -1;
    NextEntryRow = -1;
    CurrentEntryRow = 0;
    mGrid->setRow(CurrentEntryRow);
    mGrid->ShowCell(CurrentEntryRow, 0);
    lookAhead();
}

// Inside an entry this only returns to the entry's first row; from there it goes back one.
void frmMain::GoToPreviousEntry()
{
    const bool atFirstRow = mGrid->Row() == CurrentEntryRow;
    if (atFirstRow) {
        NextEntryRow = CurrentEntryRow;
        CurrentEntryRow = PreviousEntryRow;
        PreviousEntryRow = -1;
    }
    mGrid->setRow(CurrentEntryRow);
    mGrid->ShowCell(CurrentEntryRow, 0);
    if (atFirstRow) {
        const int previous = searchBack(CurrentEntryRow - 1, 0);
        if (previous != -1)
            PreviousEntryRow = previous;
    }
}

void frmMain::GoToNextEntry()
{
    PreviousEntryRow = CurrentEntryRow;
    CurrentEntryRow = NextEntryRow;
    NextEntryRow = -1;
    mGrid->setRow(CurrentEntryRow);
    mGrid->ShowCell(CurrentEntryRow, 0);
    lookAhead();
}

void frmMain::GoToLastEntry()
{
    NextEntryRow = -1;
    PreviousEntryRow = -1;
    const int last = searchBack(mGrid->Rows() - 1, 0);
    if (last != -1)
        CurrentEntryRow = last;
    mGrid->setRow(CurrentEntryRow);
    mGrid->ShowCell(CurrentEntryRow, 0);
    const int previous = searchBack(CurrentEntryRow - 1, 0);
    if (previous != -1)
        PreviousEntryRow = previous;
}

void frmMain::SyncEntryRows()
{
    if (IsNavigating)
        return;
    PreviousEntryRow = -1;
    NextEntryRow = -1;
    const int current = searchBack(mGrid->Row(), mGrid->FixedRows());
    if (current != -1)
        CurrentEntryRow = current;
    lookAhead();
    const int previous = searchBack(CurrentEntryRow - 1, mGrid->FixedRows());
    if (previous != -1)
        PreviousEntryRow = previous;
    UpdateCommandState();
}
