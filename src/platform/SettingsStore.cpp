#include "platform/SettingsStore.h"

#include <QSettings>
#include <QStringList>

namespace SettingsStore {

namespace {

const QString kOrganization = QStringLiteral("HELIXDebugDisplay");

} // namespace

QString GetSetting(const QString &section, const QString &key, const QString &defaultValue)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization);
    const QVariant value = settings.value(section + QLatin1Char('/') + key);
    if (!value.isValid())
        return defaultValue;
    // An unquoted text with commas in it reads back as a list: it is still one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

bool SaveSetting(const QString &section, const QString &key, const QString &value)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization);
    settings.setValue(section + QLatin1Char('/') + key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool SaveSection(const QString &section, const QList<std::pair<QString, QString>> &values)
{
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, kOrganization);
    settings.remove(section);
    settings.beginGroup(section);
    for (const auto &[key, value] : values)
        settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString fileName()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, kOrganization).fileName();
}

} // namespace SettingsStore
