#pragma once

#include <QString>

// The display's five user preferences, held in memory. Setters store what they are given;
// only loading validates.
class ClassPreferences {
public:
    bool DisplayHeader() const { return mbDisplayHeader; }
    void setDisplayHeader(bool value) { mbDisplayHeader = value; }

    QString FontName() const { return msFontName; }
    void setFontName(const QString &value) { msFontName = value; }

    int FontSize() const { return miFontSize; }
    void setFontSize(int value) { miFontSize = value; }

    int SaveText() const { return miSaveText; }
    void setSaveText(int value) { miSaveText = value; }

    bool WordWrap() const { return mbWordWrap; }
    void setWordWrap(bool value) { mbWordWrap = value; }

private:
    bool mbWordWrap = false;
    QString msFontName = QStringLiteral("Courier New");
    int miFontSize = 8;
    int miSaveText = 0;
    bool mbDisplayHeader = false;
};

// The process-wide settings object, created on first use.
ClassPreferences &Preferences();
