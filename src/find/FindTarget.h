#pragma once

#include "platform/LineSource.h"

// The display as the search sees it: its lines, read in place, and its current row.
class FindTarget : public LineSource {
public:
    virtual int Rows() const = 0;
    virtual int FixedRows() const = 0;
    virtual int Row() const = 0;
    // Makes the row current, with the grid's usual notification of the change.
    virtual void setRow(int row) = 0;
    virtual void ShowCell(int row, int col) = 0;
};
