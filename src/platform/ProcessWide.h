#pragma once

#include <memory>

// The process-wide objects (the preferences, the search, the session log, the file system):
// each made on first use, and all dropped together by resetProcessWide(), so that a test can
// start the next case from a fresh process state. Only the one thread of the user interface
// uses them.
namespace ProcessWide {

void registerReset(void (*reset)());

// An object whose constructor uses another process-wide object would be destroyed after it at
// exit: keep their constructors independent of each other.
template <typename T> T &instance()
{
    static std::unique_ptr<T> held;
    if (!held) {
        static const bool registered = (registerReset([] { held.reset(); }), true);
        (void)registered;
        held = std::make_unique<T>();
    }
    return *held;
}

} // namespace ProcessWide

// Drops every process-wide object; the next use of each makes a fresh one.
void resetProcessWide();
