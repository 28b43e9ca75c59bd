#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class PositionedForm;

// The display's five user preferences, held in memory, read from and written to the settings
// file, and the saved outer rectangles of the windows that remember where they were. Setters
// store what they are given; only loading validates.
class ClassPreferences {
public:
    using FontList = std::function<QStringList()>;

    // `screenFonts` lists the installed screen fonts (the platform's list by default).
    explicit ClassPreferences(FontList screenFonts = {});

    bool DisplayHeader() const { return mbDisplayHeader; }
    void setDisplayHeader(bool value) { mbDisplayHeader = value; }

    QString FontName() const { return msFontName; }
    void setFontName(const QString &value) { msFontName = value; }

    int FontSize() const { return miFontSize; }
    void setFontSize(int value) { miFontSize = value; }

    void LoadSettings();

    // True when the stored rectangle was usable and applied to the window.
    bool RestoreFormPosition(PositionedForm *form) const;
    void SaveFormPosition(PositionedForm *form, int top, int left, int height, int width) const;

    // Writes all five preferences; false when the settings file could not be written.
    bool SaveSettings() const;

    int SaveText() const { return miSaveText; }
    void setSaveText(int value) { miSaveText = value; }

    bool WordWrap() const { return mbWordWrap; }
    void setWordWrap(bool value) { mbWordWrap = value; }

private:
    QString GetStringSetting(const QString &section, const QString &key,
                             const QString &defaultValue) const;
    bool GetBooleanSetting(const QString &section, const QString &key, bool defaultValue) const;
    double GetNumberSetting(const QString &section, const QString &key, int defaultValue) const;
    bool SaveNumberSetting(const QString &section, const QString &key, int value) const;
    bool IsFontInstalled(const QString &name) const;

    FontList mScreenFonts;
    bool mbWordWrap = false;
    QString msFontName = QStringLiteral("Courier New");
    int miFontSize = 8;
    int miSaveText = 0;
    bool mbDisplayHeader = false;
};

// The process-wide settings object, created on first use.
ClassPreferences &Preferences();
