#pragma once

#include <QList>
#include <QString>

#include <utility>

// The per-user settings file, ~/.config/HELIXDebugDisplay.conf ($XDG_CONFIG_HOME when set):
// text values by section (an INI group) and key.
namespace SettingsStore {

// The stored text, or `defaultValue` when the key is missing or the file cannot be read.
QString GetSetting(const QString &section, const QString &key, const QString &defaultValue);

// Stores the text at once; false when the file cannot be written.
bool SaveSetting(const QString &section, const QString &key, const QString &value);

// Replaces the whole section with these keys and values at once; false when the file cannot
// be written.
bool SaveSection(const QString &section, const QList<std::pair<QString, QString>> &values);

// Where the settings live, for messages to the operator.
QString fileName();

} // namespace SettingsStore
