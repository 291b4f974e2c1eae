#pragma once

// The name days and anniversaries kept on a calendar of their own on the
// server: one way, the table is what counts. Each sync sends the events
// whose text changed here (or that someone changed or removed there) and
// removes those whose day lost its names; events others put in the same
// calendar are left alone.

#include "sync/DavClient.h"
#include "sync/SyncEngine.h"

#include <QDateTime>

namespace store {
class Database;
}

namespace davsync {

struct UploadReport {
    int sent = 0;
    int deleted = 0;
};

UploadReport uploadNameDays(DavClient& client, const Collection& calendar, store::Database& database,
                            const QDateTime& stamp, const SyncProgress& progress);

} // namespace davsync
