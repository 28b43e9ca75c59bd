#include "view/HighlightSettings.h"

#include "platform/SettingsStore.h"
#include "preferences/SettingText.h"
#include "view/RowHighlights.h"

namespace HighlightSettings {

namespace {

const QString kSection = QStringLiteral("Highlights");
const QString kRules = QStringLiteral("Rules");

QString key(int rule, const char *field)
{
    return QStringLiteral("Rule%1.%2").arg(rule).arg(QLatin1StringView(field));
}

QString boolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

std::vector<HighlightRule> readyRules()
{
    HighlightRule error;
    error.text = QStringLiteral("GetTag RC=");
    error.notZero = true;
    error.colour = HighlightPalette::find(u"Red");
    error.scope = HighlightRule::Entry;
    error.on = false;
    HighlightRule disconnected;
    disconnected.text = QStringLiteral("<Disconnected>");
    disconnected.colour = HighlightPalette::find(u"Orange");
    disconnected.on = false;
    return {error, disconnected};
}

std::vector<HighlightRule> parse(const std::function<QString(const QString &key)> &value)
{
    const QString count = value(kRules);
    if (count.isNull())
        return readyRules();
    // A count that does not read loses no rule: every numbered rule there is loads.
    bool ok = false;
    const int wanted = count.trimmed().toInt(&ok);
    const int rules =
        ok ? std::clamp(wanted, 0, RowHighlights::kMaxRules) : RowHighlights::kMaxRules;
    std::vector<HighlightRule> result;
    for (int n = 1; n <= rules; ++n) {
        HighlightRule rule;
        rule.text = value(key(n, "Text"));
        if (rule.text.isEmpty())
            continue;
        const auto flag = [&](const char *field, bool fallback) {
            return SettingText::toBoolean(value(key(n, field))).value_or(fallback);
        };
        rule.notZero = flag("NotZero", false);
        rule.matchCase = flag("MatchCase", false);
        rule.on = flag("On", true);
        rule.colour = HighlightPalette::find(value(key(n, "Colour")).trimmed());
        rule.scope = value(key(n, "Scope")).trimmed().compare(u"Entry", Qt::CaseInsensitive) == 0
                         ? HighlightRule::Entry
                         : HighlightRule::Line;
        result.push_back(rule);
    }
    return result;
}

QList<std::pair<QString, QString>> values(const std::vector<HighlightRule> &rules)
{
    QList<std::pair<QString, QString>> result{{kRules, QString::number(rules.size())}};
    int n = 0;
    for (const HighlightRule &rule : rules) {
        ++n;
        result.append({key(n, "Text"), rule.text});
        result.append({key(n, "NotZero"), boolean(rule.notZero)});
        result.append({key(n, "MatchCase"), boolean(rule.matchCase)});
        result.append(
            {key(n, "Colour"),
             QLatin1StringView(HighlightPalette::kColours[std::size_t(rule.colour)].name)});
        result.append({key(n, "Scope"), rule.scope == HighlightRule::Entry
                                            ? QStringLiteral("Entry")
                                            : QStringLiteral("Line")});
        result.append({key(n, "On"), boolean(rule.on)});
    }
    return result;
}

std::vector<HighlightRule> load()
{
    return parse(
        [](const QString &key) { return SettingsStore::GetSetting(kSection, key, QString()); });
}

bool save(const std::vector<HighlightRule> &rules)
{
    return SettingsStore::SaveSection(kSection, values(rules));
}

} // namespace HighlightSettings
