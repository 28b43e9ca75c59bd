#pragma once

#include "app/ClientCollection.h"

#include <QDBusConnection>

// How long one client may take to answer clsDebug_ShutDown before the display moves on.
constexpr int ClientShutdownTimeoutMs = 3000;

// Calls clsDebug_ShutDown (no arguments) on a client object and waits for the answer, an error
// or the timeout, serving incoming calls meanwhile; the outcome is ignored. The call names the
// client interface, as GDBus clients require; a client that answers at once that it has no
// such interface or method is called once more without one, as older clients expect, within
// the same timeout.
void callClientShutDown(QDBusConnection bus, const ClientRef &client);
