#pragma once

#include <functional>

class frmMain;

// The display window, created (loaded) on first use; after the operator closes it, the next
// use creates a fresh, empty one.
frmMain &MainWindow();

// The display window while it is loaded, else null.
frmMain *loadedMainWindow();

// Called with each newly created display window, before it is shown.
void setMainWindowCreated(std::function<void(frmMain &)> onCreated);

// Brings the display up: settings first, then the main window, shown modeless.
void Main();
