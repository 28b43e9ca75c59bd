#include "ToolIcons.h"

#include <QHash>

namespace ToolIcons {

QIcon icon(const QString &toolName)
{
    // The icons are compiled into a static library: register them before the first use.
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
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

} // namespace ToolIcons
