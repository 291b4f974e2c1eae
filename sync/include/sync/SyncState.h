#pragma once

// The sync state of one collection, kept in the table Synchro.DB: what both
// sides agreed on at the last sync, item by item, and the collection's
// token. A change is written here before it is sent or applied (its state
// says which way it was going), so a sync stopped at any point, the process
// killed included, is finished by the next one without loss or doubles.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <vector>

namespace store {
class Database;
}

namespace davsync {

inline constexpr const char* kStateTable = "Synchro.DB";

// What an item was doing when the last sync stopped.
enum class Pending {
    None,     // both sides agree
    Incoming, // the server's version is being written here
    Outgoing, // this side's version is being sent
    Deleting, // the delete is being sent
};

struct StateItem {
    QString path;     // decoded path on the server
    QString key;      // the record's key here
    QString uid;
    QByteArray etag;  // of the server's version in `body`
    QString hash;     // fieldsHash() of the fields as both sides last agreed
    Pending pending = Pending::None;
    QByteArray body;  // the server's item as last seen (or as being sent)
    // Joined to the record `key` that another item holds (a day's second
    // event): its text was added there; it is never sent from here.
    bool attached = false;
};

// Makes the table in a data directory from before it existed (a backup
// wants every table there). Does nothing when it is there.
void ensureStateTable(store::Database& database);

class SyncState {
public:
    // Loads the items of one collection (its full URL). Makes the table
    // first in a data directory from before it existed.
    SyncState(store::Database& database, const QString& collectionUrl);
    ~SyncState();
    SyncState(const SyncState&) = delete;
    SyncState& operator=(const SyncState&) = delete;

    const std::map<QString, StateItem>& items() const { return m_items; }
    const StateItem* find(const QString& path) const;
    const QString& token() const { return m_token; }
    bool isEmpty() const { return m_items.empty() && m_token.isEmpty() && !m_known; }

    // Each call is one transaction.
    void write(const std::vector<StateItem>& items);
    void remove(const QStringList& paths);
    void setToken(const QString& token);

    // Records of collections no longer synced (the user chose another
    // address book) mean nothing any more: they go after a sync.
    static void forgetOtherCollections(store::Database& database, const QStringList& kept);

private:
    store::Database& m_database;
    QString m_collection;
    std::map<QString, StateItem> m_items;
    QString m_token;
    bool m_known = false; // the collection's own record exists
};

} // namespace davsync
