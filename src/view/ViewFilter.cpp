#include "view/ViewFilter.h"

#include <algorithm>
#include <bit>

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
    , mShows(EntryFacts::kFactsMask + 1)
{
    const std::uint32_t required = (mConditions.errors ? EntryFacts::kError : 0u) |
                                   (mConditions.unanswered ? EntryFacts::kUnanswered : 0u);
    for (std::uint32_t facts = 0; facts <= EntryFacts::kFactsMask; ++facts)
        mShows[facts] = (facts & required) == required &&
                        !mConditions.hidesClient(int(facts & EntryFacts::kClientMask));
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

bool ViewFilter::showsGrowing(const FilterSource &source, int entry, Scan &scan) const
{
    const auto [first, end] = rowsOf(source, entry);
    if (scan.entry != entry)
        scan = {entry, first, !mText, false};
    for (; scan.next < end && !scan.excluded && !(scan.found && !mExclude); ++scan.next) {
        const LineView line = source.storedLine(scan.next);
        scan.excluded = mExclude && mExclude->matches(line);
        scan.found = scan.found || mText->matches(line);
    }
    return factsShow(source.facts().at(entry)) && scan.found && !scan.excluded;
}

FilterRun::FilterRun(ViewFilter filter)
    : mFilter(std::move(filter))
{
    mRows.showNone();
}

void FilterRun::endRun(const FilterSource &source, int entry)
{
    const int first = source.entryRow(mRunStart);
    const int end = entry < source.entryCount() ? source.entryRow(entry) : source.storedRows();
    mRows.showTail(first, end - first);
    mRunStart = -1;
}

bool FilterRun::advance(const FilterSource &source, const QDeadlineTimer &deadline)
{
    if (!mFilter.readsLines())
        return advanceByFacts(source, deadline);
    // The clock is read only now and then: most entries are judged in well under a microsecond.
    constexpr int kLinesBetweenClockReads = 4096;
    const int count = source.entryCount();
    int lines = 0;
    while (mNext < count) {
        const int entry = mNext++;
        const bool shown = mFilter.shows(source, entry);
        mShownEntries += shown;
        if (shown && mRunStart < 0)
            mRunStart = entry;
        else if (!shown && mRunStart >= 0)
            endRun(source, entry);
        const auto [first, end] = ViewFilter::rowsOf(source, entry);
        lines += 1 + end - first;
        if (lines >= kLinesBetweenClockReads) {
            lines = 0;
            if (deadline.hasExpired())
                return false;
        }
    }
    if (mRunStart >= 0)
        endRun(source, count);
    return true;
}

// Judging by facts alone is one pass over the entries' facts: 64 verdicts are gathered into a
// word without a branch, and only where entries start or stop showing is a run noted.
bool FilterRun::advanceByFacts(const FilterSource &source, const QDeadlineTimer &deadline)
{
    constexpr int kBatch = 1 << 14;
    const int count = source.entryCount();
    const EntryFacts::Entry *entries = source.facts().data();
    if (mRunStart >= 0) // a run gathered by lines goes on as one gathered by facts
        mRunStartRow = entries[mRunStart].row;
    while (mNext < count) {
        const int end = std::min(count, mNext + kBatch);
        std::uint64_t before = mRunStart >= 0;
        for (int base = mNext; base < end; base += 64) {
            const int width = std::min(64, end - base);
            std::uint64_t shown = 0;
            for (int i = 0; i < width; ++i)
                shown |= std::uint64_t(mFilter.factsShow(entries[base + i].word)) << i;
            std::uint64_t changes = shown ^ (shown << 1 | before);
            if (width < 64)
                changes &= (std::uint64_t(1) << width) - 1;
            before = shown >> (width - 1) & 1;
            for (; changes != 0; changes &= changes - 1) {
                const int entry = base + std::countr_zero(changes);
                const int row = entries[entry].row;
                if (mRunStart < 0) {
                    mRunStart = entry;
                    mRunStartRow = row;
                } else {
                    mRows.showTail(mRunStartRow, row - mRunStartRow);
                    mShownEntries += entry - mRunStart;
                    mRunStart = -1;
                }
            }
        }
        // The first batch tells about how many runs there will be: growing the runs over and
        // over would cost more than judging the entries.
        if (mNext == 0 && end < count)
            mRows.reserve(std::size_t(double(mRows.runCount() + 1) * count / end * 1.1));
        mNext = end;
        if (mNext < count && deadline.hasExpired())
            return false;
    }
    if (mRunStart >= 0) {
        mRows.showTail(mRunStartRow, source.storedRows() - mRunStartRow);
        mShownEntries += count - mRunStart;
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
