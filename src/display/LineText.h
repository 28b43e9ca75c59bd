#pragma once

#include "platform/LineSource.h"

#include <QByteArray>
#include <QString>

// Turning a scope of the display into a range of rows, and rows into text for the clipboard
// or a file.
namespace LineText {

// LineScope: which lines a copy or save command takes.
enum Scope { Selection = 0, CurrentEntry = 1, AllLines = 2 };

struct GridPosition {
    int rows = 0;
    int fixedRows = 0;
    int row = -1;    // the current row
    int rowSel = -1; // the other end of the selection
    int currentEntryRow = -1;
    int nextEntryRow = -1;
};

struct Range {
    int first = 0;
    int last = -1;
};

// The rows a scope covers, or false when it covers none (or is no scope at all).
bool GetLineRange(int scope, const GridPosition &grid, Range &range);

// Every line of the range, each ended by CR LF, the last one too, in UTF-8: the form the
// clipboard hands to other programs here.
QByteArray BuildLinesText(const LineSource &lines, int first, int last);

// True when a code unit lies outside U+0001..U+00FF: the line cannot go into an 8-bit file.
bool HasNonLatin1Char(const LineView &line);
bool RangeNeedsUnicode(const LineSource &lines, int first, int last);

} // namespace LineText
