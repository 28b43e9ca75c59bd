// Moving from entry to entry, and keeping the entry rows in step with the current row.
#include "display/DisplayGrid.h"
#include "display/GridValues.h"
#include "display/frmMain.h"

void frmMain::showEntryRow(int row)
{
    mGrid->setRow(row);
    mGrid->ShowCell(row, kTextColumn);
}

void frmMain::GoToFirstEntry()
{
    if (const std::optional<int> row = mEntries.first(*mGrid))
        showEntryRow(*row);
}

void frmMain::GoToPreviousEntry()
{
    showEntryRow(mEntries.previousEntry(*mGrid, mGrid->Row()));
}

void frmMain::GoToNextEntry()
{
    showEntryRow(mEntries.nextEntry(*mGrid));
}

void frmMain::GoToLastEntry()
{
    showEntryRow(mEntries.last(*mGrid));
}

void frmMain::SyncEntryRows()
{
    if (IsNavigating)
        return;
    mEntries.sync(*mGrid, mGrid->Row(), mGrid->FixedRows());
    UpdateCommandState();
}
