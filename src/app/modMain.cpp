#include "modMain.h"

#include "ClassPreferences.h"
#include "SessionSettings.h"
#include "frmMain.h"
#include "frmSession.h"

#include <QPointer>

namespace {

QPointer<frmMain> &windowSlot()
{
    static QPointer<frmMain> window;
    return window;
}

std::function<void(frmMain &)> &onCreatedSlot()
{
    static std::function<void(frmMain &)> onCreated;
    return onCreated;
}

} // namespace

frmMain &MainWindow()
{
    QPointer<frmMain> &window = windowSlot();
    if (!window || !window->mbLoaded) {
        window = new frmMain;
        window->setAttribute(Qt::WA_DeleteOnClose);
        if (onCreatedSlot())
            onCreatedSlot()(*window);
    }
    return *window;
}

frmMain *loadedMainWindow()
{
    frmMain *window = windowSlot().data();
    return window && window->mbLoaded ? window : nullptr;
}

void setMainWindowCreated(std::function<void(frmMain &)> onCreated)
{
    onCreatedSlot() = std::move(onCreated);
}

void Main()
{
    Preferences().LoadSettings();
    frmMain &window = MainWindow();
    window.show();
    if (SessionSettings::windowOpen() && !loadedSessionWindow())
        showSessionWindow(&window);
}
