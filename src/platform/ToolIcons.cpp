#include "platform/ToolIcons.h"

#include <QHash>

// The icons are compiled into a static library: they must be registered before the first use,
// from outside any namespace.
static void registerIcons()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace ToolIcons {

QIcon icon(const QString &toolName)
{
    registerIcons();
    static const QHash<QString, QString> themeNames = {
        {QStringLiteral("tbrFirst"), QStringLiteral("go-first")},
        {QStringLiteral("tbrUp"), QStringLiteral("go-up")},
        {QStringLiteral("tbrDown"), QStringLiteral("go-down")},
        {QStringLiteral("tbrLast"), QStringLiteral("go-last")},
        {QStringLiteral("tbrFind"), QStringLiteral("edit-find")},
        {QStringLiteral("tbrCopy"), QStringLiteral("edit-copy")},
        {QStringLiteral("tbrSave"), QStringLiteral("document-save")},
        {QStringLiteral("tbrClear"), QStringLiteral("edit-clear")},
        {QStringLiteral("tbrSettings"), QStringLiteral("preferences-system")},
        {QStringLiteral("tbrHelp"), QStringLiteral("help-contents")},
    };
    const QString theme = themeNames.value(toolName);
    if (theme.isEmpty())
        return {};
    return QIcon::fromTheme(theme,
                            QIcon(QStringLiteral(":/icons/") + theme + QStringLiteral(".png")));
}

QIcon applicationIcon()
{
    registerIcons();
    return QIcon::fromTheme(QStringLiteral("helixdebug"),
                            QIcon(QStringLiteral(":/icons/helixdebug.png")));
}

} // namespace ToolIcons
