#pragma once

// The Session window's choices, kept in the settings file's [Session] section.
namespace SessionSettings {

// TimeGutter: the time gutter beside the lines. Off when missing or unreadable.
bool timeGutter();
bool setTimeGutter(bool on);

// Open: the Session window was open when the display last closed, so it opens with it again.
bool windowOpen();
bool setWindowOpen(bool open);

} // namespace SessionSettings
