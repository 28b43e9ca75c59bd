#include "modMain.h"

#include "ClassPreferences.h"
#include "frmMain.h"

#include <QApplication>

frmMain &MainWindow()
{
    static frmMain *window = new frmMain;
    return *window;
}

void Main()
{
    Preferences();
    MainWindow().show();
}
