#include "view/ViewFilter.h"

#include <algorithm>

bool ViewConditions::active() const
{
    return !text.isEmpty() || !exclude.isEmpty() || errors || unanswered ||
           std::find(hiddenClients.begin(), hiddenClients.end(), true) != hiddenClients.end();
}

bool ViewConditions::hidesClient(int client) const
{
    return client >= 0 && std::size_t(client) < hiddenClients.size() &&
           hiddenClients[std::size_t(client)];
}

ViewFilter::ViewFilter(ViewConditions conditions)
    : mConditions(std::move(conditions))
    , mActive(mConditions.active())
    , mRequired((mConditions.errors ? EntryFacts::kError : 0u) |
                (mConditions.unanswered ? EntryFacts::kUnanswered : 0u))
{
    if (!mConditions.text.isEmpty())
        mText.emplace(mConditions.text, false, false);
    if (!mConditions.exclude.isEmpty())
        mExclude.emplace(mConditions.exclude, false, false);
}

std::pair<int, int> ViewFilter::rowsOf(const FilterSource &source, int entry)
{
    return {source.entryRow(entry),
            entry + 1 < source.entryCount() ? source.entryRow(entry + 1) : source.storedRows()};
}

bool ViewFilter::factsShow(std::uint32_t facts) const
{
    return (facts & mRequired) == mRequired &&
           !mConditions.hidesClient(int(facts & EntryFacts::kClientMask));
}

bool ViewFilter::shows(const FilterSource &source, int entry) const
{
    if (!factsShow(source.facts().at(entry)))
        return false;
    if (!readsLines())
        return true;
    const auto [first, end] = rowsOf(source, entry);
    bool found = !mText;
    for (int row = first; row < end; ++row) {
        const LineView line = source.storedLine(row);
        if (mExclude && mExclude->matches(line))
            return false;
        if (!found && mText->matches(line)) {
            found = true;
            if (!mExclude)
                return true;
        }
    }
    return found;
}

FilterRun::FilterRun(ViewFilter filter)
    : mFilter(std::move(filter))
{
    mRows.showNone();
}

bool FilterRun::advance(const FilterSource &source, const QDeadlineTimer &deadline)
{
    // The clock is read only now and then: judging an entry by its facts takes nanoseconds.
    constexpr int kWorkBetweenClockReads = 4096;
    const int count = source.entryCount();
    int work = 0;
    while (mNext < count) {
        const int entry = mNext++;
        const bool shown = mFilter.shows(source, entry);
        mShownEntries += shown;
        if (shown && mRunStart < 0) {
            mRunStart = entry;
        } else if (!shown && mRunStart >= 0) {
            const int first = source.entryRow(mRunStart);
            mRows.showTail(first, source.entryRow(entry) - first);
            mRunStart = -1;
        }
        if (mFilter.readsLines()) {
            const auto [first, end] = ViewFilter::rowsOf(source, entry);
            work += 1 + end - first;
        } else {
            ++work;
        }
        if (work >= kWorkBetweenClockReads) {
            work = 0;
            if (deadline.hasExpired())
                return false;
        }
    }
    if (mRunStart >= 0) {
        const int first = source.entryRow(mRunStart);
        mRows.showTail(first, source.storedRows() - first);
        mRunStart = -1;
    }
    return true;
}

int currentAfterFiltering(const ShownRows &rows, int current, const FilterSource &source)
{
    if (current < 0 || rows.size(source.storedRows()) == 0)
        return -1;
    if (const int shown = rows.shownRow(current); shown >= 0)
        return shown;
    const int after = rows.shownAtOrAfter(current);
    if (after == 0)
        return 0;
    const int entry = source.entryAt(rows.storeRow(after - 1));
    return entry >= 0 ? rows.shownRow(source.entryRow(entry)) : after - 1;
}
