#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QString>

// Under the XDG_CONFIG_HOME the test runs with.
inline QString settingsPath()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/HELIXDebugDisplay.conf");
}

// Replaces the settings file with `text`, or removes it when text is null.
inline void writeSettingsFile(const QString &text)
{
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    QFile::remove(settingsPath());
    QDir(settingsPath()).removeRecursively();
    QFile file(settingsPath());
    if (text.isNull() || !file.open(QIODevice::WriteOnly))
        return;
    file.write(text.toUtf8());
    file.flush();
    // The settings library rereads a file when its size or time changes; files written in
    // quick succession may share both, so each gets a time of its own.
    static qint64 written = 0;
    file.setFileTime(QDateTime::currentDateTime().addSecs(++written),
                     QFileDevice::FileModificationTime);
}

inline QString readSettingsFile()
{
    QFile file(settingsPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}
