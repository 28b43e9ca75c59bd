#pragma once

#include "view/HighlightRule.h"

#include <QStringList>

#include <vector>

// Rules written "text:flags:colour;...": c match case, z not zero, e whole entry, - off; the
// colour's name, Red when none.
inline std::vector<HighlightRule> rulesOf(const QString &written)
{
    std::vector<HighlightRule> rules;
    for (const QString &item : written.split(u';', Qt::SkipEmptyParts)) {
        HighlightRule rule;
        rule.text = item.section(u':', 0, 0);
        const QString flags = item.section(u':', 1, 1);
        rule.matchCase = flags.contains(u'c');
        rule.notZero = flags.contains(u'z');
        rule.scope = flags.contains(u'e') ? HighlightRule::Entry : HighlightRule::Line;
        rule.on = !flags.contains(u'-');
        rule.colour = HighlightPalette::find(item.section(u':', 2, 2));
        rules.push_back(rule);
    }
    return rules;
}
