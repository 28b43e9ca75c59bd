#pragma once

// The display as the Session window sees it: its size, its current entry, and a way to make
// an entry current.
class SessionTarget {
public:
    virtual int heldLines() const = 0;
    virtual int heldEntries() const = 0;
    // The entry the current row belongs to, or -1.
    virtual int currentEntry() const = 0;
    // Makes the entry's first row current, as a find hit is made current; false when the
    // view's filter hides it.
    virtual bool goToEntry(int entry) = 0;
    virtual void showTimeGutter(bool on) = 0;
    // Narrows the view to the entries of one client (by its number in the session log), or
    // widens it to every client's.
    virtual void showOnlyClient(int client) = 0;
    virtual void showAllClients() = 0;

protected:
    ~SessionTarget() = default;
};
