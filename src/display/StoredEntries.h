#pragma once

#include "display/LineStore.h"
#include "view/ViewFilter.h"

// The stored lines, shown or not, and their entries' facts, as the view's filter reads them.
class StoredEntries final : public FilterSource {
public:
    StoredEntries(const LineStore &store, const EntryFacts &facts)
        : mStore(store)
        , mFacts(facts)
    {
    }
    const EntryFacts &facts() const override { return mFacts; }
    int storedRows() const override { return mStore.size(); }
    LineView storedLine(int row) const override { return mStore.view(row); }

private:
    const LineStore &mStore;
    const EntryFacts &mFacts;
};
