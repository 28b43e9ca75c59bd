#include "view/ShownRows.h"

#include <algorithm>

void ShownRows::showAll()
{
    std::vector<Run>().swap(mRuns);
    mCount = 0;
    mAll = true;
}

void ShownRows::showNone()
{
    std::vector<Run>().swap(mRuns);
    mCount = 0;
    mAll = false;
}

int ShownRows::runEnd(std::size_t run) const
{
    return run + 1 < mRuns.size() ? mRuns[run + 1].shown : mCount;
}

int ShownRows::runAtOrBefore(int store) const
{
    // The newest rows are asked about most, as entries arrive.
    if (!mRuns.empty() && store >= mRuns.back().store)
        return int(mRuns.size()) - 1;
    const auto after = std::upper_bound(mRuns.begin(), mRuns.end(), store,
                                        [](int s, const Run &run) { return s < run.store; });
    return int(after - mRuns.begin()) - 1;
}

int ShownRows::storeRow(int shown) const
{
    if (mAll)
        return shown;
    if (shown >= mRuns.back().shown)
        return mRuns.back().store + (shown - mRuns.back().shown);
    const auto after = std::upper_bound(mRuns.begin(), mRuns.end(), shown,
                                        [](int s, const Run &run) { return s < run.shown; });
    const Run &run = *(after - 1);
    return run.store + (shown - run.shown);
}

int ShownRows::shownRow(int store) const
{
    if (mAll)
        return store;
    const int run = runAtOrBefore(store);
    if (run < 0)
        return -1;
    const Run &r = mRuns[std::size_t(run)];
    const int shown = r.shown + (store - r.store);
    return shown < runEnd(std::size_t(run)) ? shown : -1;
}

int ShownRows::shownAtOrAfter(int store) const
{
    if (mAll)
        return store;
    const int run = runAtOrBefore(store);
    if (run >= 0) {
        const Run &r = mRuns[std::size_t(run)];
        const int shown = r.shown + (store - r.store);
        if (shown < runEnd(std::size_t(run)))
            return shown;
    }
    const auto next = std::size_t(run + 1);
    return next < mRuns.size() ? mRuns[next].shown : mCount;
}

void ShownRows::insert(int store, int count)
{
    if (mAll || count <= 0)
        return;
    const int at = shownAtOrAfter(store);
    if (at == mCount) {
        showTail(store, count);
        return;
    }
    // The rows are hidden, so `at` starts a run: they come just before it.
    auto next = std::lower_bound(mRuns.begin(), mRuns.end(), at,
                                 [](const Run &run, int s) { return run.shown < s; });
    for (auto it = next; it != mRuns.end(); ++it)
        it->shown += count;
    mCount += count;
    const bool joinsNext = next != mRuns.end() && next->store == store + count;
    const bool joinsPrevious =
        next != mRuns.begin() && (next - 1)->store + (at - (next - 1)->shown) == store;
    if (joinsPrevious && joinsNext) {
        mRuns.erase(next);
    } else if (joinsNext) {
        next->store = store;
        next->shown = at;
    } else if (!joinsPrevious) {
        mRuns.insert(next, {store, at});
    }
}

void ShownRows::hideFrom(int store)
{
    if (mAll)
        return;
    const int at = shownAtOrAfter(store);
    while (!mRuns.empty() && mRuns.back().shown >= at)
        mRuns.pop_back();
    mCount = at;
}
