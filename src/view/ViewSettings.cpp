#include "view/ViewSettings.h"

#include "platform/SettingsStore.h"
#include "preferences/SettingText.h"

namespace ViewSettings {

namespace {

const QString kSection = QStringLiteral("View");
const QString kShown = QStringLiteral("Shown");

} // namespace

bool shown()
{
    return SettingText::toBoolean(
               SettingsStore::GetSetting(kSection, kShown, QStringLiteral("False")))
        .value_or(false);
}

bool setShown(bool shown)
{
    return SettingsStore::SaveSetting(kSection, kShown,
                                      shown ? QStringLiteral("True") : QStringLiteral("False"));
}

} // namespace ViewSettings
