#pragma once

#include "platform/HelixError.h"

#include <QString>

#include <optional>
#include <vector>

// A registered client: its object path on the connection (unique bus name) that registered it.
struct ClientRef {
    QString service;
    QString path;
    bool operator==(const ClientRef &) const = default;
};

// The clients registered with one Message object, in registration order, keyed by title.
// Titles compare without regard to case and occur once.
class ClientCollection {
public:
    struct Entry {
        quint64 id = 0;
        QString key;
        ClientRef client;
    };

    // Fails with the duplicate-key error (457) when the title is taken, in any letter case.
    std::optional<HelixError> Add(const ClientRef &client, const QString &key);
    // Fails with the invalid-argument error (5) when no client has that title.
    std::optional<HelixError> Remove(const QString &key);

    int Count() const { return int(mEntries.size()); }
    const Entry &first() const { return mEntries.front(); }
    // Removes the entry with this id if it is still there.
    void removeId(quint64 id);

private:
    std::vector<Entry> mEntries;
    quint64 mNextId = 1;
};
