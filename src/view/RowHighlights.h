#pragma once

#include "find/LineMatcher.h"
#include "platform/LineSource.h"
#include "view/HighlightRule.h"

#include <QHash>

#include <vector>

// Which rule colours each row, worked out only for the rows asked about, that is those being
// painted. The first rule that holds wins: a line rule for its line, an entry rule for any
// line of the entry. An entry's verdict is kept and carried on as the entry grows, so a long
// entry is read once however often it is painted.
class RowHighlights {
public:
    static constexpr int kMaxRules = 16;

    // The rules past the first kMaxRules are dropped.
    void setRules(std::vector<HighlightRule> rules);
    const std::vector<HighlightRule> &rules() const { return mRules; }
    // Some rule is on.
    bool active() const { return !mMatchers.empty(); }

    // The rule (an index into rules()) that colours stored row `row` of `lines`, whose entry
    // runs from stored row `first` to before `end`; -1 for none.
    int ruleOf(const LineSource &lines, int row, int first, int end);

    // The lines are gone: the kept entry verdicts no longer apply.
    void forgetEntries() { mEntries.clear(); }

private:
    struct Matcher {
        LineMatcher matcher;
        int index;
        bool entry;
        bool notZero;
    };
    struct Scanned {
        int rule; // the best entry rule found so far, or kMaxRules
        int end;  // the rows read so far end here
    };
    static bool holds(const Matcher &m, const LineView &line);
    int entryRule(const LineSource &lines, int first, int end);

    std::vector<HighlightRule> mRules;
    std::vector<Matcher> mMatchers; // the rules that are on, in order
    bool mEntryRules = false;
    QHash<int, Scanned> mEntries; // by the entry's first row
};
