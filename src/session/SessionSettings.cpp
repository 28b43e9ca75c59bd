#include "session/SessionSettings.h"

#include "platform/SettingsStore.h"
#include "preferences/SettingText.h"

namespace {

const QString kSection = QStringLiteral("Session");

bool read(const QString &key)
{
    return SettingText::toBoolean(SettingsStore::GetSetting(kSection, key, QStringLiteral("False")))
        .value_or(false);
}

bool write(const QString &key, bool on)
{
    return SettingsStore::SaveSetting(kSection, key,
                                      on ? QStringLiteral("True") : QStringLiteral("False"));
}

} // namespace

namespace SessionSettings {

bool timeGutter()
{
    return read(QStringLiteral("TimeGutter"));
}

bool setTimeGutter(bool on)
{
    return write(QStringLiteral("TimeGutter"), on);
}

bool windowOpen()
{
    return read(QStringLiteral("Open"));
}

bool setWindowOpen(bool open)
{
    return write(QStringLiteral("Open"), open);
}

} // namespace SessionSettings
