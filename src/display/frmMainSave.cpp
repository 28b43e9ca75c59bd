// Saving lines of the display to a text file.
#include "display/DisplayGrid.h"
#include "display/LineText.h"
#include "display/frmMain.h"
#include "output/ClassFileSystem.h"

void frmMain::SaveLinesToFile(int Scope)
{
    LineText::Range range;
    const LineText::GridPosition position{mGrid->Rows(),   mGrid->FixedRows(), mGrid->Row(),
                                          mGrid->RowSel(), CurrentEntryRow,    NextEntryRow};
    if (!LineText::GetLineRange(Scope, position, range))
        return;
    const QString answer = FileSystem().AskSaveFileName(LastSaveFile, this);
    if (answer.isEmpty())
        return;
    LastSaveFile = answer;
    BeginBusy();
    const bool unicode = LineText::RangeNeedsUnicode(*mGrid, range.first, range.last);
    FileSystem().WriteLinesToFile(mGrid, range.first, range.last, LastSaveFile, unicode);
    EndBusy();
}
