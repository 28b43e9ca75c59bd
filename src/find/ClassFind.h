#pragma once

#include "find/FindTarget.h"
#include "platform/Tracked.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class LineMatcher;

// Directions of a search: the indexes of the Find dialog's "Up" and "Down", and the direction
// stored by the last search.
constexpr int kFindUp = 0;
constexpr int kFindDown = 1;
constexpr int kFindStored = -1;

// The search over the display's lines. It remembers the last search (text, options,
// direction and the row of the last hit) so that it can be repeated from the keyboard. A
// search runs from next to the current row to the end (or the top) and wraps around; a hit
// becomes the current row and is scrolled into view; a miss changes nothing and says nothing.
class ClassFind {
public:
    QString SearchText;
    bool WholeWord = false;
    bool MatchCase = false;
    // kFindDown searches down, anything else up.
    int Direction = kFindDown;
    int LastFoundRow = 0;

    void SetFindOptions(const QString &searchText, bool wholeWord, bool matchCase, int direction);
    // kFindDown, kFindUp or kFindStored; the direction given is stored.
    void FindNext(int direction);
    // Opens the Find dialog with the stored options, or brings the open one to the front.
    void ShowFindDialog();

    // The display the searches run on, and the window the dialog first opens over.
    void setDisplay(Tracked<FindTarget> grid, QWidget *mainWindow);

private:
    void FindDown(FindTarget &grid);
    void FindUp(FindTarget &grid);
    void found(FindTarget &grid, int row);
    int ScanRows(const FindTarget &grid, int first, int last, int step,
                 const LineMatcher &matcher) const;

    Tracked<FindTarget> mGrid;
    QPointer<QWidget> mMainWindow;
};

// The process-wide search, created on first use.
ClassFind &Finder();
