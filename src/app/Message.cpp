#include "app/Message.h"

#include "app/modMain.h"
#include "display/frmMain.h"
#include "session/SessionLog.h"

Message::Message(ShutdownCall shutdownCall, std::uint64_t objectNumber, ClientWatch watchClient)
    : mShutdownCall(std::move(shutdownCall))
    , mWatchClient(std::move(watchClient))
    , mObjectNumber(objectNumber)
{
}

std::optional<HelixError> Message::Initialize(const std::optional<ClientRef> &clsHELIX,
                                              const QString &sAppTitle)
{
    if (!loadedMainWindow())
        Main();
    frmMain &window = MainWindow();
    if (!window.mclsMessage)
        window.mclsMessage = shared_from_this();
    if (!clsHELIX)
        return std::nullopt;
    if (auto error = mcolClients.Add(*clsHELIX, sAppTitle))
        return error;
    Session().connected(Session().now(), sAppTitle, clsHELIX->service);
    if (mWatchClient && !clsHELIX->service.isEmpty())
        mWatchClient(clsHELIX->service);
    PrintText(sAppTitle, QStringLiteral("<Connecting>"));
    return std::nullopt;
}

// Calls that arrive after the operator closed the window, before any client brought it back,
// have no window to go to: they succeed and show nothing.
std::optional<HelixError> Message::PrintReceiveBuffer(QStringView HELIXBuffer)
{
    const SessionLog::CallFrom from(Session(), mObjectNumber);
    if (frmMain *window = loadedMainWindow())
        return window->FormatReceiveBuffer(HELIXBuffer);
    return std::nullopt;
}

void Message::PrintSendBuffer(const QString &AppName, const QString &HELIXRequest,
                              QStringView HELIXBuffer)
{
    const SessionLog::CallFrom from(Session(), mObjectNumber);
    if (frmMain *window = loadedMainWindow())
        window->FormatSendBuffer(AppName, HELIXRequest, HELIXBuffer);
}

void Message::PrintText(const QString &AppName, const QString &Text)
{
    const SessionLog::CallFrom from(Session(), mObjectNumber);
    if (frmMain *window = loadedMainWindow())
        window->FormatText(AppName, Text);
}

std::optional<HelixError> Message::UnHook(const QString &sAppTitle)
{
    if (auto error = mcolClients.Remove(sAppTitle))
        return error;
    Session().unhooked(Session().now(), sAppTitle);
    PrintText(sAppTitle, QStringLiteral("<Disconnected>"));
    return std::nullopt;
}

void Message::ShutDownClients()
{
    while (mcolClients.Count() > 0) {
        const ClientCollection::Entry entry = mcolClients.first();
        mShutdownCall(entry.client);
        // The client may have unhooked itself from inside its shutdown call: remove the one
        // that was called, never the next in line.
        mcolClients.removeId(entry.id);
    }
    if (frmMain *window = loadedMainWindow())
        window->mclsMessage.reset();
}
