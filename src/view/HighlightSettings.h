#pragma once

#include "view/HighlightRule.h"

#include <functional>
#include <vector>

// The highlight rules kept in the settings file's [Highlights] section:
//   Rules=2                     how many rules follow, at most 16
//   Rule1.Text=GetTag RC=       the text to find; a rule without one is skipped
//   Rule1.NotZero=True          only where the rest of the line is not the number 0
//   Rule1.MatchCase=False
//   Rule1.Colour=Red            a palette colour's name
//   Rule1.Scope=Entry           Line or Entry: what the rule colours
//   Rule1.On=False
// A value that does not read is taken as its default (False, Red, Line, On), the rule still
// loading; a Rules count that does not read loads every numbered rule. Without a Rules key the
// ready rules load.
namespace HighlightSettings {

// Two rules an operator often wants, switched off until asked for.
std::vector<HighlightRule> readyRules();

// The rules from the section's values, `value` giving a key's text, or a null text when the
// key is missing.
std::vector<HighlightRule> parse(const std::function<QString(const QString &key)> &value);
QList<std::pair<QString, QString>> values(const std::vector<HighlightRule> &rules);

std::vector<HighlightRule> load();
// False when the settings file cannot be written.
bool save(const std::vector<HighlightRule> &rules);

} // namespace HighlightSettings
