#include "app/modMain.h"

#include "display/frmMain.h"
#include "find/frmFind.h"
#include "help/frmHelp.h"
#include "preferences/ClassPreferences.h"
#include "session/SessionSettings.h"
#include "session/frmSession.h"

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

// Find, Help and Session belong to the display: they leave the screen with it, before its
// clients are told to stop.
void closeCompanionWindows()
{
    if (frmFind *find = loadedFindDialog())
        find->close();
    if (frmHelp *help = loadedHelpWindow())
        help->close();
    if (frmSession *session = loadedSessionWindow())
        session->closeWithDisplay();
}

} // namespace

frmMain &MainWindow()
{
    QPointer<frmMain> &window = windowSlot();
    if (!window || !window->mbLoaded) {
        window = new frmMain;
        window->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(window, &frmMain::closing, window, &closeCompanionWindows);
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
