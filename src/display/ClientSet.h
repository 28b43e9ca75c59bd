#pragma once

// What the window needs of the client-interface object it holds: telling every client
// registered through it to stop tracing, when the window closes.
class ClientSet {
public:
    virtual ~ClientSet() = default;
    virtual void ShutDownClients() = 0;
};
