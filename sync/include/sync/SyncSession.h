#pragma once

// One sync as the menu command and the command line run it: the collection
// found (or made), then the engine over it.

#include "sync/DavClient.h"
#include "sync/SyncEngine.h"
#include "sync/SyncSettings.h"

namespace store {
class Database;
}

namespace davsync {

// The address book to sync: the one saved in the settings while it exists,
// else the one named `wanted` (made when the server has none of that name),
// else the server's only one (made as "Adresář" when it has none). Several
// and none named: SyncError listing their names.
Collection chooseCollection(DavClient& client, CollectionKind kind, const QString& savedPath, const QString& wanted,
                            const QString& defaultName);

struct SessionResult {
    Collection addressBook;
    SyncReport report;
    int requests = 0;
};

// Syncs the address table with the address book the settings name (found
// or made first when they name none; `wantedBook` names one).
SessionResult syncContacts(store::Database& database, DavClient& client, const SyncSettings& settings,
                           const QString& wantedBook, SyncDecisions& decisions, const SyncProgress& progress);

// What a finished sync says to the user, one line and its messages.
QString summaryText(const SessionResult& result);

} // namespace davsync
