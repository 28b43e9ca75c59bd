#pragma once

#include "view/HighlightRule.h"

#include <vector>

// Sixteen rules that are all on, half over whole entries, as an operator hunting a fault might
// set them: most find nothing, so every painted row is tried against each.
inline std::vector<HighlightRule> sixteenRules()
{
    std::vector<HighlightRule> rules;
    const char *texts[] = {"GetTag RC=",    "Timeout",    "<Disconnected>", "CUSTOMER=99",
                           "STATUS=failed", "NAME=Jones", "ERROR",          "Retry",
                           "Lookup",        "refused",    "deadlock",       "overflow",
                           "STATUS=held",   "Warning",    "denied",         "lost"};
    for (int i = 0; i < 16; ++i) {
        HighlightRule rule;
        rule.text = QString::fromLatin1(texts[i]);
        rule.notZero = i == 0;
        rule.scope = i % 2 == 0 ? HighlightRule::Entry : HighlightRule::Line;
        rule.colour = i % int(HighlightPalette::kColours.size());
        rules.push_back(rule);
    }
    return rules;
}
