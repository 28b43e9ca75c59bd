#include "preferences/ClassPreferences.h"

#include "platform/PositionedForm.h"
#include "platform/PrimaryScreen.h"
#include "platform/ProcessWide.h"
#include "platform/ScreenFonts.h"
#include "platform/SettingsStore.h"
#include "platform/Twips.h"
#include "preferences/SettingText.h"

#include <optional>

namespace {

const QString kPreferences = QStringLiteral("Preferences");
const QString kPosition = QStringLiteral("Position");
const QString kDefaultFont = QStringLiteral("Courier New");

QString booleanText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

ClassPreferences::ClassPreferences(FontList screenFonts)
    : mScreenFonts(screenFonts ? std::move(screenFonts) : FontList(&ScreenFonts::families))
{
}

QString ClassPreferences::GetStringSetting(const QString &section, const QString &key,
                                           const QString &defaultValue) const
{
    return SettingsStore::GetSetting(section, key, defaultValue);
}

// A text that is neither a Boolean word nor a number reads as the default: junk in the file
// costs that one setting, never the others.
bool ClassPreferences::GetBooleanSetting(const QString &section, const QString &key,
                                         bool defaultValue) const
{
    const QString text = SettingsStore::GetSetting(section, key, booleanText(defaultValue));
    return SettingText::toBoolean(text).value_or(defaultValue);
}

double ClassPreferences::GetNumberSetting(const QString &section, const QString &key,
                                          int defaultValue) const
{
    return SettingText::leadingNumber(
        SettingsStore::GetSetting(section, key, QString::number(defaultValue)));
}

bool ClassPreferences::SaveNumberSetting(const QString &section, const QString &key,
                                         int value) const
{
    if (key.isEmpty())
        return true;
    return SettingsStore::SaveSetting(section, key, QString::number(value));
}

bool ClassPreferences::IsFontInstalled(const QString &name) const
{
    return mScreenFonts().contains(name, Qt::CaseSensitive);
}

void ClassPreferences::LoadSettings()
{
    mbWordWrap = GetBooleanSetting(kPreferences, QStringLiteral("WordWrap"), false);
    msFontName = GetStringSetting(kPreferences, QStringLiteral("FontName"), kDefaultFont);
    if (!IsFontInstalled(msFontName)) {
        msFontName = kDefaultFont;
        if (!IsFontInstalled(msFontName))
            msFontName = QStringLiteral("MS Sans Serif");
    }
    // A number too large for 32 bits is out of range like any other.
    miFontSize = SettingText::toInt32(GetNumberSetting(kPreferences, QStringLiteral("FontSize"), 8))
                     .value_or(0);
    if (miFontSize < 7 || miFontSize > 12)
        miFontSize = 8;
    miSaveText = SettingText::toInt32(GetNumberSetting(kPreferences, QStringLiteral("SaveText"), 0))
                     .value_or(-1);
    if (miSaveText < 0 || miSaveText > 2)
        miSaveText = 0;
    mbDisplayHeader = GetBooleanSetting(kPreferences, QStringLiteral("DisplayHeader"), false);
}

bool ClassPreferences::SaveSettings() const
{
    bool saved = SettingsStore::SaveSetting(kPreferences, QStringLiteral("WordWrap"),
                                            booleanText(mbWordWrap));
    saved &= SettingsStore::SaveSetting(kPreferences, QStringLiteral("FontName"), msFontName);
    saved &= SaveNumberSetting(kPreferences, QStringLiteral("FontSize"), miFontSize);
    saved &= SaveNumberSetting(kPreferences, QStringLiteral("SaveText"), miSaveText);
    saved &= SettingsStore::SaveSetting(kPreferences, QStringLiteral("DisplayHeader"),
                                        booleanText(mbDisplayHeader));
    return saved;
}

bool ClassPreferences::RestoreFormPosition(PositionedForm *form) const
{
    if (!form)
        return false;
    const QString name = form->Name();
    if (name.isEmpty())
        return false;
    const auto stored = [&](const char *suffix) {
        return SettingText::toInt32(GetNumberSetting(kPosition, name + QLatin1String(suffix), 0));
    };
    const std::optional<int> top = stored("FormTop");
    const std::optional<int> left = stored("FormLeft");
    const std::optional<int> height = stored("FormHeight");
    const std::optional<int> width = stored("FormWidth");
    // A value that does not fit 32 bits is no usable position.
    if (!top || !left || !height || !width)
        return false;
    if (*top < 0 || *left < 0)
        return false;
    if (*height < form->MinHeightTwips() || *width < form->MinWidthTwips())
        return false;
    const ScreenTwips screen = primaryScreenTwips();
    if (qint64(*top) + *height >= screen.height || qint64(*left) + *width >= screen.width)
        return false;
    form->setOuterTwips(*top, *left, *height, *width);
    return true;
}

void ClassPreferences::SaveFormPosition(PositionedForm *form, int top, int left, int height,
                                        int width) const
{
    if (!form)
        return;
    const QString name = form->Name();
    if (name.isEmpty())
        return;
    SaveNumberSetting(kPosition, name + QStringLiteral("FormTop"), top);
    SaveNumberSetting(kPosition, name + QStringLiteral("FormLeft"), left);
    SaveNumberSetting(kPosition, name + QStringLiteral("FormHeight"), height);
    SaveNumberSetting(kPosition, name + QStringLiteral("FormWidth"), width);
}

ClassPreferences &Preferences()
{
    return ProcessWide::instance<ClassPreferences>();
}
