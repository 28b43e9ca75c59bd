#pragma once

#include "FakeLines.h"
#include "FindTarget.h"

// Counts row writes so that a search that finds nothing can be seen to leave the row alone.
class FakeGrid : public FakeLines<FindTarget> {
public:
    using FakeLines::FakeLines;
    int Rows() const override { return lineCount(); }
    int FixedRows() const override { return 0; }
    int Row() const override { return mRow; }
    void setRow(int row) override
    {
        mRow = row;
        ++rowWrites;
    }
    void ShowCell(int row, int) override { shown = row; }

    int rowWrites = 0;
    int shown = -1;

private:
    int mRow = 0;
};
