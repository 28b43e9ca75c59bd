#include "view/RowHighlights.h"

#include "platform/ReturnCode.h"

#include <algorithm>

namespace {

// Past this many kept entry verdicts they are dropped and found again when painted: the
// screen shows only a few entries at a time.
constexpr int kMaxKeptEntries = 65536;

} // namespace

void RowHighlights::setRules(std::vector<HighlightRule> rules)
{
    if (rules.size() > std::size_t(kMaxRules))
        rules.resize(std::size_t(kMaxRules));
    mRules = std::move(rules);
    mMatchers.clear();
    mEntryRules = false;
    for (std::size_t i = 0; i < mRules.size(); ++i) {
        const HighlightRule &rule = mRules[i];
        if (!rule.on || rule.text.isEmpty())
            continue;
        const bool entry = rule.scope == HighlightRule::Entry;
        mMatchers.push_back(
            {LineMatcher(rule.text, false, rule.matchCase), int(i), entry, rule.notZero});
        mEntryRules = mEntryRules || entry;
    }
    mEntries.clear();
}

bool RowHighlights::holds(const Matcher &m, const LineView &line)
{
    const qsizetype at = m.matcher.indexIn(line);
    if (at < 0)
        return false;
    if (!m.notZero)
        return true;
    const qsizetype from = at + m.matcher.length();
    return line.visit(
        [from](auto view) { return ReturnCode::isError(view.sliced(from).toString()); });
}

int RowHighlights::entryRule(const LineSource &lines, int first, int end)
{
    if (mEntries.size() >= kMaxKeptEntries)
        mEntries.clear();
    auto known = mEntries.find(first);
    if (known == mEntries.end())
        known = mEntries.insert(first, Scanned{kMaxRules, first});
    Scanned &scanned = known.value();
    // Rows are only ever added to an entry, so what was read stays true.
    for (int row = std::max(scanned.end, first); row < end && scanned.rule > 0; ++row) {
        const LineView line = lines.line(row);
        for (const Matcher &m : mMatchers) {
            if (m.index >= scanned.rule)
                break;
            if (m.entry && holds(m, line)) {
                scanned.rule = m.index;
                break;
            }
        }
    }
    scanned.end = std::max(scanned.end, end);
    return scanned.rule;
}

int RowHighlights::ruleOf(const LineSource &lines, int row, int first, int end)
{
    if (mMatchers.empty())
        return -1;
    const int entry = mEntryRules ? entryRule(lines, first, end) : kMaxRules;
    const LineView line = lines.line(row);
    for (const Matcher &m : mMatchers) {
        if (m.index >= entry)
            break;
        if (!m.entry && holds(m, line))
            return m.index;
    }
    return entry < kMaxRules ? entry : -1;
}
