#pragma once

// One sync as the menu command and the command line run it: the address
// book, then the planner's calendar and the name-day calendar where the
// settings ask for them, each found (or made) first, then synced.

#include "sync/DavClient.h"
#include "sync/NameDayUpload.h"
#include "sync/SyncEngine.h"
#include "sync/SyncSettings.h"

#include <QDateTime>

#include <optional>

namespace store {
class Database;
}

namespace davsync {

// The collection to sync: the one saved in the settings while it exists,
// else the one named `wanted` (made when the server has none of that name),
// else the server's only one not in `others` (made as `defaultName` when
// there is none). Several and none named: SyncError listing their names.
Collection chooseCollection(DavClient& client, CollectionKind kind, const QString& savedPath, const QString& wanted,
                            const QString& defaultName, const QStringList& others = {});

// Names given for this run (the command line's --addressbook, --calendar).
struct SessionChoices {
    QString addressBook;
    QString calendar; // turns the planner's sync on
};

struct SessionResult {
    Collection addressBook;
    SyncReport report;
    std::optional<Collection> plannerCalendar;
    SyncReport planner;
    std::optional<Collection> nameDayCalendar;
    UploadReport nameDays;
    int requests = 0;
    SyncSettings settings; // as given, with the collections found or made
};

// Throws SyncError; what was synced before the failure stays synced.
SessionResult runSession(store::Database& database, DavClient& client, const SyncSettings& settings,
                         const SessionChoices& choices, SyncDecisions& decisions, const SyncProgress& progress,
                         const QDateTime& stamp);

// What a finished sync says to the user, one line per collection and the messages.
QString summaryText(const SessionResult& result);

} // namespace davsync
