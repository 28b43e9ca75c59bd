#pragma once

#include "app/ClientCollection.h"
#include "display/ClientSet.h"
#include "platform/HelixError.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// One client-interface object: what a client application creates to have its traffic shown.
// It registers clients under their titles, hands every print to the display window's
// formatters and, for the object the window holds, tells its clients to stop tracing when
// the window closes.
class Message : public ClientSet, public std::enable_shared_from_this<Message> {
public:
    // Makes the clsDebug_ShutDown call on one client and returns when it has answered, failed
    // or taken too long; incoming calls are served meanwhile.
    using ShutdownCall = std::function<void(const ClientRef &)>;

    // Told the bus name of each client registered with a client object, to notice it leaving.
    using ClientWatch = std::function<void(const QString &service)>;

    // `objectNumber` names the object in the session's timings (the N of /Message/N).
    explicit Message(ShutdownCall shutdownCall, std::uint64_t objectNumber = 0,
                     ClientWatch watchClient = {});

    // An empty clsHELIX stands for Nothing: the window comes up and holds this object, but no
    // client is registered and no line is written.
    std::optional<HelixError> Initialize(const std::optional<ClientRef> &clsHELIX,
                                         const QString &sAppTitle);
    std::optional<HelixError> PrintReceiveBuffer(QStringView HELIXBuffer);
    void PrintSendBuffer(const QString &AppName, const QString &HELIXRequest,
                         QStringView HELIXBuffer);
    void PrintText(const QString &AppName, const QString &Text);
    std::optional<HelixError> UnHook(const QString &sAppTitle);

    void ShutDownClients() override;

    int clientCount() const { return mcolClients.Count(); }

private:
    ClientCollection mcolClients;
    ShutdownCall mShutdownCall;
    ClientWatch mWatchClient;
    std::uint64_t mObjectNumber;
};
