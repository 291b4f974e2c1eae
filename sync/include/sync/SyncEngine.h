#pragma once

// Two-way sync of one table with one collection: what changed on either side
// since the last sync goes to the other; what changed on both is the user's
// choice; nothing is written on either side before every question is
// answered, and nothing is lost when a sync stops half way.

#include "sync/DavClient.h"
#include "sync/LocalSide.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace store {
class Database;
}

namespace davsync {

// A record here and a server item that look like the same one at the first
// sync (same name), before either is written.
struct Pair {
    Fields local;
    Fields server;
};

// Changed on both sides since the last sync (or paired with different texts).
struct Conflict {
    QString key;
    Fields local;
    Fields server;
};

enum class Choice { Server, Local };

class SyncDecisions {
public:
    virtual ~SyncDecisions() = default;
    // false: the user declined; the sync stops with nothing written.
    virtual bool confirmPairs(const LocalSide& side, const std::vector<Pair>& pairs) = 0;
    // One choice per conflict, in order.
    virtual std::vector<Choice> resolve(const LocalSide& side, const std::vector<Conflict>& conflicts) = 0;
};

struct SyncReport {
    int received = 0;     // records added or changed here
    int sent = 0;         // items added or changed on the server
    int deletedHere = 0;
    int deletedThere = 0;
    QStringList messages; // what the user should know (conflicts decided, records come back)
};

// Reports the stage and how far it is; false stops the sync.
using SyncProgress = std::function<bool(const QString& label, qint64 done, qint64 total)>;

class SyncEngine {
public:
    SyncEngine(DavClient& client, LocalSide& side, store::Database& database, Collection collection,
               SyncDecisions& decisions);

    void setProgress(SyncProgress progress) { m_progress = std::move(progress); }

    // Throws SyncError (and SyncCancelled) with the tables as a next sync can go on from.
    SyncReport run();

    // The state's name for the collection: its whole address without credentials.
    static QString collectionId(const DavClient& client, const Collection& collection);

private:
    struct Round;
    bool runRound(SyncReport& report);
    void report(const QString& label, qint64 done, qint64 total);

    DavClient& m_client;
    LocalSide& m_side;
    store::Database& m_database;
    Collection m_collection;
    SyncDecisions& m_decisions;
    SyncProgress m_progress;
};

} // namespace davsync
