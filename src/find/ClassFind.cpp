#include "find/ClassFind.h"

#include "find/FindTarget.h"
#include "find/LineMatcher.h"
#include "find/frmFind.h"
#include "platform/ProcessWide.h"

#include <algorithm>

void ClassFind::SetFindOptions(const QString &searchText, bool wholeWord, bool matchCase,
                               int direction)
{
    SearchText = searchText;
    WholeWord = wholeWord;
    MatchCase = matchCase;
    Direction = direction;
}

void ClassFind::setDisplay(Tracked<FindTarget> grid, QWidget *mainWindow)
{
    mGrid = grid;
    mMainWindow = mainWindow;
}

void ClassFind::FindNext(int direction)
{
    if (direction != kFindStored)
        Direction = direction;
    if (SearchText.isEmpty() || !mGrid)
        return;
    if (Direction == kFindDown)
        FindDown(*mGrid.get());
    else
        FindUp(*mGrid.get());
}

void ClassFind::FindDown(FindTarget &grid)
{
    const int row = grid.Row();
    const int rows = grid.Rows();
    const int fixed = grid.FixedRows();
    if (rows <= fixed)
        return;
    // Repeating a search moves past the hit that is still current. With no current row yet
    // the search starts at the top.
    const int start = std::max(row == LastFoundRow ? row + 1 : row, fixed);
    const LineMatcher matcher(SearchText, WholeWord, MatchCase);
    int hit = ScanRows(grid, start, rows - 1, 1, matcher);
    if (hit == -1)
        hit = ScanRows(grid, fixed, std::min(start, rows - 1), 1, matcher);
    if (hit != -1)
        found(grid, hit);
}

void ClassFind::FindUp(FindTarget &grid)
{
    const int row = grid.Row();
    const int rows = grid.Rows();
    const int fixed = grid.FixedRows();
    if (rows <= fixed)
        return;
    const int start = row == LastFoundRow ? row - 1 : row;
    const LineMatcher matcher(SearchText, WholeWord, MatchCase);
    int hit = ScanRows(grid, start, fixed, -1, matcher);
    if (hit == -1)
        hit = ScanRows(grid, rows - 1, std::max(start, fixed), -1, matcher);
    if (hit != -1)
        found(grid, hit);
}

void ClassFind::found(FindTarget &grid, int row)
{
    LastFoundRow = row;
    grid.setRow(row);
    grid.ShowCell(row, 0);
}

int ClassFind::ScanRows(const FindTarget &grid, int first, int last, int step,
                        const LineMatcher &matcher) const
{
    for (int row = first; step > 0 ? row <= last : row >= last; row += step) {
        if (matcher.matches(grid.line(row)))
            return row;
    }
    return -1;
}

void ClassFind::ShowFindDialog()
{
    if (frmFind *dialog = loadedFindDialog()) {
        dialog->raise();
        dialog->activateWindow();
        return;
    }
    frmFind *dialog = new frmFind(mMainWindow);
    dialog->InitFindDialog(SearchText, WholeWord, MatchCase, Direction);
    dialog->show();
}

ClassFind &Finder()
{
    return ProcessWide::instance<ClassFind>();
}
