#pragma once

#include <QIcon>
#include <QString>

// The toolbar's icons, by tool name: the desktop theme's where it has them, else our own, so
// the tools show on a bare machine too. The Help window shows the same icons.
namespace ToolIcons {

QIcon icon(const QString &toolName);

// The application's own icon, for its windows.
QIcon applicationIcon();

} // namespace ToolIcons
