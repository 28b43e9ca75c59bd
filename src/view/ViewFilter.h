#pragma once

#include "find/LineMatcher.h"
#include "platform/LineSource.h"
#include "view/EntryFacts.h"
#include "view/ShownRows.h"

#include <QDeadlineTimer>
#include <QString>

#include <optional>
#include <vector>

// What the operator narrowed the view to. Every condition is on whole entries, and an entry
// shows when it meets all of them.
struct ViewConditions {
    QString text;    // a line of the entry holds it (plain, any case); empty for any entry
    QString exclude; // no line of the entry holds it (plain, any case); empty for any entry
    std::vector<bool> hiddenClients; // by client number; numbers past the end are shown
    bool errors = false;             // the entry holds an error return code
    bool unanswered = false;         // the entry is a request that got no reply

    bool active() const;
    bool hidesClient(int client) const;
};

// The stored lines and their entries' facts as the filter reads them.
class FilterSource {
public:
    virtual const EntryFacts &facts() const = 0;
    virtual int storedRows() const = 0;
    virtual LineView storedLine(int row) const = 0;

    int entryCount() const { return facts().size(); }
    // The first stored row of an entry; an entry runs to the next one's first row.
    int entryRow(int entry) const { return facts().row(entry); }
    // The entry a stored row belongs to, or -1 for rows before the first entry.
    int entryAt(int row) const { return facts().entryAt(row); }

protected:
    ~FilterSource() = default;
};

class ViewFilter {
public:
    explicit ViewFilter(ViewConditions conditions = {});

    const ViewConditions &conditions() const { return mConditions; }
    bool active() const { return mActive; }
    bool readsLines() const { return mText || mExclude; }
    bool shows(const FilterSource &source, int entry) const;

    // What is known of the lines of an entry that grows, so that each line is read once
    // however often replies join it.
    struct Scan {
        int entry = -1;
        int next = 0; // the first row not read yet
        bool found = false;
        bool excluded = false;
    };
    bool showsGrowing(const FilterSource &source, int entry, Scan &scan) const;
    // The stored rows of an entry, [first, end).
    static std::pair<int, int> rowsOf(const FilterSource &source, int entry);

    // Whether an entry with these facts meets the conditions on facts (all but the texts).
    bool factsShow(std::uint32_t facts) const
    {
        return mShows[std::size_t(facts & EntryFacts::kFactsMask)];
    }

private:
    ViewConditions mConditions;
    bool mActive = false;
    // The verdict on the facts for every value of a word's low bits, worked out once.
    std::vector<std::uint8_t> mShows;
    std::optional<LineMatcher> mText;
    std::optional<LineMatcher> mExclude;
};

// Which row of `rows` to make current when they replace the rows shown, stored row `current`
// (-1 for none, which stays none) being current: that row while it still shows, else the first
// row of the nearest shown entry before it, else the first row shown; -1 when nothing shows.
int currentAfterFiltering(const ShownRows &rows, int current, const FilterSource &source);

// Judges every entry held, a slice at a time, into the rows the view shows. Entries that
// arrive meanwhile are judged too: it is done when it has caught up with the last one.
class FilterRun {
public:
    explicit FilterRun(ViewFilter filter);

    const ViewFilter &filter() const { return mFilter; }
    // Judges entries until all held are judged (true) or the deadline has passed (false).
    bool advance(const FilterSource &source, const QDeadlineTimer &deadline);
    const ShownRows &rows() const { return mRows; }
    ShownRows takeRows() { return std::move(mRows); }
    int shownEntries() const { return mShownEntries; }

private:
    bool advanceByFacts(const FilterSource &source, const QDeadlineTimer &deadline);
    void endRun(const FilterSource &source, int entry);

    ViewFilter mFilter;
    ShownRows mRows;
    int mNext = 0;
    int mShownEntries = 0;
    int mRunStart = -1; // the first entry of the shown entries being gathered
    int mRunStartRow = 0;
};
