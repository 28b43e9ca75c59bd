#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>

inline QString settingsPath()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/HELIXDebugDisplay.conf");
}

// Replaces the settings file with `text`, or removes it when text is null.
inline void writeSettingsFile(const QString &text)
{
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    QFile::remove(settingsPath()) || QDir(settingsPath()).removeRecursively(); // or a folder
    QFile file(settingsPath());
    if (text.isNull() || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    file.write(text.toUtf8());
    // The settings library rereads a file only when its size or time changed: a new time each.
    static QDateTime stamp = QDateTime::currentDateTime();
    file.setFileTime(stamp = stamp.addSecs(1), QFileDevice::FileModificationTime);
}

inline QString readSettingsFile()
{
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
