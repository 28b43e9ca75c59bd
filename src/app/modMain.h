#pragma once

class frmMain;

// The display window, created on first use and shared by everything in the process.
frmMain &MainWindow();

// Brings the display up: settings first, then the main window, shown modeless.
void Main();
