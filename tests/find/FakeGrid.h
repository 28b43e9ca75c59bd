#pragma once

#include "FindTarget.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <algorithm>

// Lines kept as the display keeps them: Latin-1 where they fit, UTF-16 otherwise.
class FakeGrid : public FindTarget {
public:
    explicit FakeGrid(const QStringList &lines)
    {
        for (const QString &line : lines) {
            const bool wide =
                std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() > 0xFF; });
            mWide << wide;
            mLatin1 << line.toLatin1();
            mUtf16 << line;
        }
    }
    int lineCount() const override { return int(mUtf16.size()); }
    LineView line(int row) const override
    {
        if (mWide[row])
            return {mUtf16[row].utf16(), mUtf16[row].size(), true};
        return {mLatin1[row].constData(), mLatin1[row].size(), false};
    }
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
    QList<bool> mWide;
    QList<QByteArray> mLatin1;
    QStringList mUtf16;
};
