#pragma once

// The View bar's choices kept in the settings file's [View] section.
namespace ViewSettings {

// Shown: the View bar shows below the toolbar. Hidden when missing or unreadable.
bool shown();
bool setShown(bool shown);

} // namespace ViewSettings
