#pragma once

#include "display/EntryNavigation.h"
#include "display/GridValues.h"
#include "display/LineStore.h"
#include "find/FindTarget.h"
#include "view/MarkSet.h"
#include "view/RowHighlights.h"
#include "view/ShownRows.h"

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QHash>
#include <QTimer>

#include <functional>

// The display's one-column grid: a scroll area that paints only the rows on screen over a
// compact LineStore. Its operations are those the window relies on (AddItem, Rows, Row,
// RowSel, RowData, FindRow, TextMatrix, bold cells, ShowCell, Redraw, AutoSize, font and word
// wrap, placement in twips); it reports key downs, mouse button releases and every change of
// the current row, the last synchronously inside a Row write.
class DisplayGrid : public QAbstractScrollArea, public FindTarget, public EntryRowsView {
    Q_OBJECT
public:
    // The screen follows changes of the content at most this often.
    static constexpr int RefreshIntervalMs = 25;

    explicit DisplayGrid(QWidget *parent = nullptr);

    // Appends a stored row; it shows at once while every row shows, else when shown below.
    void AddItem(QStringView text);
    int Rows() const override { return mShown.size(mLines.size()); }
    // Rows = 0: removes every row.
    void clearRows();
    int FixedRows() const override { return 0; }

    int Row() const override { return mRow; }
    // Makes `row` current, collapses the selection onto it and raises RowColChange, even when
    // the row does not change. Rows outside the grid are ignored.
    void setRow(int row) override;
    int RowSel() const { return mRowSel; }

    int RowData(int row) const { return mLines.rowData(stored(row)); }
    void setRowData(int row, int value) { mLines.setRowData(stored(row), value); }
    // The first shown row at or after `startRow` whose row data is `value`, or -1.
    int FindRow(int value, int startRow) const;

    int rowCount() const override { return Rows(); }
    bool startsEntry(int row) const override { return RowData(row) == kEntryMark; }
    int nextEntryStart(int from) const override { return FindRow(kEntryMark, from); }

    // The rows held, shown or not, and which of them show. Rows are the shown rows everywhere
    // else in this class.
    const LineStore &store() const { return mLines; }
    int stored(int row) const { return mShown.storeRow(row); }
    const ShownRows &shownRows() const { return mShown; }
    // Marks a stored row as an entry's first row, in bold.
    void markStoredEntry(int storeRow);
    // Shows another set of rows with `current` (a row of the new set, or -1) current.
    void setShownRows(ShownRows rows, int current);
    // The newest entry, from stored row `first` on, shows in full, or not at all.
    void showStoredTail(int first);
    void hideStoredFrom(int first);
    // An older entry's rows, hidden until now, show.
    void showStoredRows(int first, int count);

    QString TextMatrix(int row, int col) const;
    int lineCount() const override { return Rows(); }
    // The stored text of a row, read in place.
    LineView line(int row) const override { return mLines.view(stored(row)); }

    bool CellFontBold(int row) const { return mLines.bold(stored(row)); }
    void setCellFontBold(int row, bool bold);

    void ShowCell(int row, int col) override;

    // 0 stops painting; any other value resumes it and schedules one repaint.
    void setRedraw(int redraw);
    int Redraw() const { return mRedraw; }

    // Fits column 0 (and, with word wrap, the row heights) to the text of the rows added
    // since the last call.
    void AutoSize(int col);

    QString FontName() const { return font().family(); }
    void setFontName(const QString &name);
    double FontSize() const { return font().pointSizeF(); }
    void setFontSize(double points);
    bool WordWrap() const { return mWordWrap; }
    void setWordWrap(bool wrap);
    void Refresh();

    // Placement inside the window, in twips.
    double Left() const;
    double Top() const;
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);

    // Entry rows (those with non-zero row data) by their place among all entries held, shown
    // or not; the row of a hidden one is -1.
    int markedIndex(int row) const { return mLines.markedIndex(stored(row)); }
    int markedRow(int index) const;
    int markedIndexAtOrAbove(int row) const { return mLines.markedIndexAtOrAbove(stored(row)); }
    int markedCount() const { return mLines.markedCount(); }

    // A column left of the lines showing `label` of each row it returns text for, as wide as
    // `widest` is in the grid's font. An empty function takes the column away.
    using GutterLabel = std::function<QString(int row)>;
    void setGutter(GutterLabel label, const QString &widest);
    bool hasGutter() const { return bool(mGutterLabel); }
    // The gutter's text of a row as painted, empty where it paints none.
    QString gutterText(int row) const { return mGutterLabel ? mGutterLabel(row) : QString(); }

    // Marks on rows, kept on their stored lines; a margin left of the lines shows them while
    // there are any.
    bool isMarked(int row) const { return mMarks.contains(stored(row)); }
    void toggleMark(int row);
    void clearMarks();
    const MarkSet &marks() const { return mMarks; }
    // The nearest marked row after (before) `from`, wrapping round, or -1 when none shows.
    int nextMark(int from) const { return mMarks.next(from, mShown); }
    int previousMark(int from) const { return mMarks.previous(from, mShown); }

    // Rules colouring the rows as they are painted.
    void setHighlightRules(std::vector<HighlightRule> rules);
    const std::vector<HighlightRule> &highlightRules() const { return mHighlights.rules(); }
    // The rule colouring a row, or null.
    const HighlightRule *highlightOf(int row) const;

    // The first row on screen. The grid keeps it itself and brings the scroll bar in line
    // later, so scrolling on every appended entry costs no scroll bar work.
    int topRow() const;
    // Where a row is painted in the viewport, or an empty rect when it is not on screen.
    QRect rowRect(int row) const;

Q_SIGNALS:
    void KeyDown(int keyCode, int shift);
    void MouseUp(int button, int shift, double x, double y);
    void RowColChange();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void fontChanged();
    void placeGutter();
    void paintGutter(QWidget *gutter);
    void contentChanged();
    void scheduleRefresh();
    void refreshNow();
    void updateScrollBars();
    void measureNewRows();
    int rowHeight(int row) const;
    int textWidth(int row) const;
    int rowsFittingAbove(int lastRow) const;
    int rowAt(int y) const;
    void moveCursor(int row, bool extend);
    void ensureVisible(int row);
    void setTopRow(int row);
    int pageRows() const;

    void shownChanged(bool onlyAtTheEnd);
    int markerWidth() const;
    void descriptionsChanged(int first, int last);

    LineStore mLines;
    ShownRows mShown;
    QWidget *mGutter = nullptr;
    GutterLabel mGutterLabel;
    MarkSet mMarks;
    // Painting works out the rows' rules and keeps the entries' verdicts.
    mutable RowHighlights mHighlights;
    QString mGutterWidest;
    int mRow = -1;
    int mRowSel = -1;
    int mRedraw = flexRDDirect;
    bool mWordWrap = false;
    mutable int mTopRow = 0;
    // The latest row asked to be brought into view and not yet scrolled to, or -1.
    mutable int mRowToShow = -1;
    bool mSyncingScrollBars = false;
    mutable bool mScrollBarsDirty = false;
    QTimer mRefreshTimer;
    QElapsedTimer mLastPaint;
    bool mSelecting = false;
    int mLineHeight = 1;
    int mAutoSizedRows = 0;
    int mContentWidth = 0;
    // Heights of wrapped rows at the current width and font, filled as rows are painted.
    mutable QHash<int, int> mWrappedHeights;
};
