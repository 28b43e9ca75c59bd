#include "platform/ScreenFonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>

#include <array>

namespace ScreenFonts {

namespace {

struct Alias {
    const char *name;
    std::array<const char *, 2> compatible;
};

// Families drawn to the same metrics as the Windows fonts they stand for.
constexpr std::array<Alias, 3> kAliases = {{
    {"Courier New", {"Liberation Mono", "Cousine"}},
    {"Arial", {"Liberation Sans", "Arimo"}},
    {"Times New Roman", {"Liberation Serif", "Tinos"}},
}};

} // namespace

QStringList families()
{
    QStringList list = QFontDatabase::families();
    for (const Alias &alias : kAliases) {
        const QString name = QLatin1String(alias.name);
        if (list.contains(name))
            continue;
        const QString resolved = QFontInfo(QFont(name)).family();
        for (const char *compatible : alias.compatible) {
            if (resolved == QLatin1String(compatible) && list.contains(resolved)) {
                list.append(name);
                break;
            }
        }
    }
    return list;
}

} // namespace ScreenFonts
