#pragma once

// The requests of a sync, each turned into values or into a SyncError with
// a Czech text saying what happened and what to do.

#include "sync/DavXml.h"
#include "sync/Http.h"

#include <QUrl>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace davsync {

// Anything that stops a sync; what() is the Czech message (UTF-8).
class SyncError : public std::runtime_error {
public:
    explicit SyncError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// The user pressed "Zrušit".
class SyncCancelled : public SyncError {
public:
    SyncCancelled();
};

struct Collection {
    QString path; // decoded, ends with '/'
    QString displayName;
    CollectionKind kind = CollectionKind::AddressBook;
    QStringList components; // of a calendar; empty when the server did not say
    bool reportsSyncCollection = false;
};

// What changed on the server: by a sync report since a token, or (full) the
// whole listing, against which anything not listed is gone.
struct ServerChanges {
    bool full = false;
    std::vector<std::pair<QString, QByteArray>> present; // path, etag
    QStringList removed;                                 // paths (sync report only)
    QString token;                                       // empty when the server gives none
};

struct PutResult {
    QString path;    // where the item now lives (Location, or the path put to)
    QByteArray etag; // empty when the server sent none: fetch the item again
};

class DavClient {
public:
    // `server`: scheme, host, port and optionally a path to start discovery at.
    DavClient(Transport& transport, QUrl server);

    const QUrl& server() const { return m_server; }
    QUrl urlOf(const QString& path) const;
    int requestCount() const { return m_requests; }

    // The address books or calendars of the user: the given address itself
    // when it is one, else through .well-known, the principal and its home set.
    std::vector<Collection> discover(CollectionKind kind);
    // Makes a new one below the home set found by discover().
    Collection create(CollectionKind kind, const QString& displayName);

    // Changes since `token`; a server that refuses the token (an unknown one,
    // one it has forgotten) or knows no sync report is listed whole instead.
    ServerChanges changesSince(const Collection& collection, const QString& token);

    // The items at these paths with their ETags, in batches.
    std::vector<DavEntry> multiget(const Collection& collection, const QStringList& paths);

    // Writes an item: a new one only if nothing is there (`etag` empty:
    // If-None-Match: *), else only over that version (If-Match). Returns
    // nullopt when the server refused for a precondition (412): someone
    // changed or made it meanwhile.
    std::optional<PutResult> put(const QString& path, const QByteArray& body, const QByteArray& contentType,
                                 const QByteArray& etag);
    // Deletes that version; false on 412 (changed meanwhile). Gone already is fine.
    bool remove(const QString& path, const QByteArray& etag);

    // Asked before each request; false stops the sync (SyncCancelled).
    void setCancelCheck(std::function<bool()> keepGoing) { m_keepGoing = std::move(keepGoing); }

private:
    HttpResponse request(const QByteArray& method, const QString& path, const QByteArray& body,
                         const QByteArray& depth = {}, const QList<QPair<QByteArray, QByteArray>>& extra = {},
                         bool followRedirects = false);
    Multistatus multistatus(const HttpResponse& response, const QString& path);
    [[noreturn]] void fail(const HttpResponse& response, const QString& path);
    std::optional<ServerChanges> syncReport(const Collection& collection, const QString& token);
    ServerChanges listing(const Collection& collection);
    QString homeSet(CollectionKind kind);

    Transport& m_transport;
    QUrl m_server;
    int m_requests = 0;
    std::function<bool()> m_keepGoing;
    QString m_home[2];
};

// "/a/b/" + "x.vcf"
QString childPath(const QString& collection, const QString& name);

} // namespace davsync
