#pragma once

#include "app/ClientCollection.h"

#include <QDBusConnection>

// How long one client may take to answer clsDebug_ShutDown before the display moves on.
constexpr int ClientShutdownTimeoutMs = 3000;

// Calls clsDebug_ShutDown (no interface, no arguments) on a client object and waits for the
// answer, an error or the timeout, serving incoming calls meanwhile; the outcome is ignored.
void callClientShutDown(QDBusConnection bus, const ClientRef &client);
