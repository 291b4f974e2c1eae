#include "sync/NameDayUpload.h"

#include "sync/ContactCard.h"
#include "sync/NameDayCalendar.h"
#include "sync/SyncState.h"

#include "SyncTexts.h"

#include <map>

namespace davsync {

namespace {

// State written between two batches of requests.
constexpr std::size_t kBatch = 50;

struct Wanted {
    YearlyEvent event;
    QString hash;
};

void report(const SyncProgress& progress, const QString& label, qint64 done, qint64 total)
{
    if (progress && !progress(label, done, total))
        throw SyncCancelled();
}

// One pass; false when the server refused a write because the item changed
// meanwhile (the next pass lists the calendar whole and tries again).
bool uploadPass(DavClient& client, const Collection& calendar, SyncState& state,
                const std::vector<YearlyEvent>& events, const QDateTime& stamp, const SyncProgress& progress,
                bool whole, UploadReport& result)
{
    report(progress, texts::kLooking, 0, 0);
    const ServerChanges changes = client.changesSince(calendar, whole ? QString() : state.token());
    // What the server holds now of the items we know: their versions.
    std::map<QString, QByteArray> there;
    if (!changes.full)
        for (const auto& [path, item] : state.items())
            there[path] = item.etag;
    for (const QString& path : changes.removed)
        there.erase(path);
    for (const auto& [path, etag] : changes.present)
        there[path] = etag;

    std::map<QString, Wanted> wanted;
    for (const YearlyEvent& event : events)
        wanted[childPath(calendar.path, event.uid + QStringLiteral(".ics"))] =
            Wanted{event, fieldsHash({event.firstDay.toString(Qt::ISODate), event.summary})};

    struct Put {
        StateItem item;
        QByteArray ifMatch;
    };
    std::vector<Put> puts;
    for (const auto& [path, want] : wanted) {
        const StateItem* known = state.find(path);
        const auto server = there.find(path);
        const bool onServer = server != there.end();
        // A server that gave no version when it took the item: its first
        // listed one is taken as ours.
        const bool sameVersion = known && onServer && (known->etag == server->second || known->etag.isEmpty());
        if (known && known->hash == want.hash && known->pending == Pending::None && sameVersion) {
            if (known->etag.isEmpty()) {
                StateItem settled = *known;
                settled.etag = server->second;
                state.write({settled});
            }
            continue;
        }
        StateItem item{path, want.event.firstDay.toString(Qt::ISODate), want.event.uid, {}, want.hash,
                       Pending::Outgoing, writeYearlyEvents({want.event}, stamp)};
        puts.push_back({std::move(item), onServer ? server->second : QByteArray()});
    }
    QStringList removals;
    for (const auto& [path, item] : state.items())
        if (!wanted.contains(path))
            removals.append(path);

    bool clean = true;
    const qint64 total = static_cast<qint64>(puts.size()) + removals.size();
    qint64 done = 0;
    report(progress, texts::kUploading, 0, total);
    for (std::size_t at = 0; at < puts.size(); at += kBatch) {
        const std::size_t end = std::min(puts.size(), at + kBatch);
        std::vector<StateItem> intents;
        for (std::size_t i = at; i < end; ++i)
            intents.push_back(puts[i].item);
        state.write(intents);
        std::vector<StateItem> results;
        for (std::size_t i = at; i < end; ++i) {
            const std::optional<PutResult> put =
                client.put(puts[i].item.path, puts[i].item.body, "text/calendar; charset=utf-8", puts[i].ifMatch);
            report(progress, texts::kUploading, ++done, total);
            if (!put) {
                clean = false;
                continue;
            }
            StateItem item = puts[i].item;
            item.pending = Pending::None;
            item.etag = put->etag;
            results.push_back(std::move(item));
            ++result.sent;
        }
        state.write(results);
    }
    for (const QString& path : removals) {
        const auto server = there.find(path);
        if (server == there.end() || client.remove(path, server->second)) {
            state.remove({path});
            result.deleted += server == there.end() ? 0 : 1;
        } else {
            clean = false;
        }
        report(progress, texts::kUploading, ++done, total);
    }
    if (clean)
        state.setToken(changes.token);
    return clean;
}

} // namespace

UploadReport uploadNameDays(DavClient& client, const Collection& calendar, store::Database& database,
                            const QDateTime& stamp, const SyncProgress& progress)
{
    SyncState state(database, SyncEngine::collectionId(client, calendar));
    const std::vector<YearlyEvent> events = nameDayEvents(database);
    UploadReport result;
    for (int pass = 0; pass < 3; ++pass)
        if (uploadPass(client, calendar, state, events, stamp, progress, pass > 0, result))
            return result;
    throw SyncError(texts::kPreconditionLoop);
}

} // namespace davsync
