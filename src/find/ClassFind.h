#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class FindTarget;
class LineMatcher;

// The search over the display's lines. It remembers the last search (text, options,
// direction and the row of the last hit) so that it can be repeated from the keyboard. A
// search runs from next to the current row to the end (or the top) and wraps around; a hit
// becomes the current row and is scrolled into view; a miss changes nothing and says nothing.
class ClassFind {
public:
    QString SearchText;
    bool WholeWord = false;
    bool MatchCase = false;
    // 1 searches down, anything else up: the indexes of the dialog's "Up" and "Down".
    int Direction = 1;
    int LastFoundRow = 0;

    void SetFindOptions(const QString &searchText, bool wholeWord, bool matchCase, int direction);
    // 1 down, 0 up, -1 in the stored direction; the direction given is stored.
    void FindNext(int direction);
    // Opens the Find dialog with the stored options, or brings the open one to the front.
    void ShowFindDialog();

    // The display the searches run on, and the window the dialog first opens over.
    void setDisplay(FindTarget *grid, QWidget *mainWindow);
    // Stops searching `grid`, unless a newer display has taken its place already.
    void forgetDisplay(const FindTarget *grid);

private:
    void FindDown(FindTarget &grid);
    void FindUp(FindTarget &grid);
    void found(FindTarget &grid, int row);
    int ScanRows(const FindTarget &grid, int first, int last, int step,
                 const LineMatcher &matcher) const;

    FindTarget *mGrid = nullptr;
    QPointer<QWidget> mMainWindow;
};

// The process-wide search, created on first use.
ClassFind &Finder();
