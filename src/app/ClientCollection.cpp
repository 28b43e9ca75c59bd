#include "app/ClientCollection.h"

#include <algorithm>

std::optional<HelixError> ClientCollection::Add(const ClientRef &client, const QString &key)
{
    const bool taken = std::any_of(mEntries.begin(), mEntries.end(), [&](const Entry &entry) {
        return entry.key.compare(key, Qt::CaseInsensitive) == 0;
    });
    if (taken)
        return HelixError::duplicateKey();
    mEntries.push_back({mNextId++, key, client});
    return std::nullopt;
}

std::optional<HelixError> ClientCollection::Remove(const QString &key)
{
    const auto it = std::find_if(mEntries.begin(), mEntries.end(), [&](const Entry &entry) {
        return entry.key.compare(key, Qt::CaseInsensitive) == 0;
    });
    if (it == mEntries.end())
        return HelixError::invalidArgument();
    mEntries.erase(it);
    return std::nullopt;
}

void ClientCollection::removeId(quint64 id)
{
    std::erase_if(mEntries, [id](const Entry &entry) { return entry.id == id; });
}
