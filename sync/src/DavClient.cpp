#include "sync/DavClient.h"

#include "SyncTexts.h"

#include <QUuid>

namespace davsync {

namespace {

constexpr int kMaxRedirects = 5;
// Items per multiget: a few hundred kilobytes of cards, well under the answer limit.
constexpr int kMultigetBatch = 100;
// Rounds of a sync report that the server cut short (507), at most.
constexpr int kMaxSyncRounds = 1000;

const QByteArray kXml = "application/xml; charset=utf-8";

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QString withSlash(QString path)
{
    if (!path.endsWith(QLatin1Char('/')))
        path.append(QLatin1Char('/'));
    return path;
}

} // namespace

SyncCancelled::SyncCancelled() : SyncError(texts::kCancelled) {}

QByteArray HttpResponse::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QString childPath(const QString& collection, const QString& name)
{
    return withSlash(collection) + name;
}

DavClient::DavClient(Transport& transport, QUrl server) : m_transport(transport), m_server(std::move(server))
{
    if (m_server.path().isEmpty())
        m_server.setPath(QStringLiteral("/"));
}

QUrl DavClient::urlOf(const QString& path) const
{
    QUrl url = m_server;
    url.setPath(path, QUrl::DecodedMode);
    url.setQuery(QString());
    url.setFragment(QString());
    return url;
}

HttpResponse DavClient::request(const QByteArray& method, const QString& path, const QByteArray& body,
                                const QByteArray& depth, const QList<QPair<QByteArray, QByteArray>>& extra,
                                bool followRedirects)
{
    HttpRequest req;
    req.method = method;
    req.url = urlOf(path);
    req.body = body;
    if (!depth.isEmpty())
        req.setHeader("Depth", depth);
    bool typed = false;
    for (const auto& header : extra) {
        req.headers.append(header);
        typed = typed || header.first.compare("Content-Type", Qt::CaseInsensitive) == 0;
    }
    // Some servers refuse a body without its type (415).
    if (!body.isEmpty() && !typed)
        req.setHeader("Content-Type", kXml);

    for (int hop = 0;; ++hop) {
        if (m_keepGoing && !m_keepGoing())
            throw SyncCancelled();
        ++m_requests;
        HttpResponse response = m_transport.send(req);
        if (response.failure == HttpResponse::Failure::Cancelled)
            throw SyncCancelled();
        if (!followRedirects || !isRedirect(response.status))
            return response;
        if (hop == kMaxRedirects)
            throw SyncError(texts::kTooManyRedirects.arg(req.url.toDisplayString(QUrl::RemoveUserInfo)));
        const QUrl next = req.url.resolved(QUrl::fromEncoded(response.header("Location")));
        // Only within the same server, and never from https down to http:
        // the credentials go with every request.
        if (next.host() != m_server.host() || next.port() != m_server.port() || next.scheme() != m_server.scheme())
            return response;
        req.url = next;
    }
}

void DavClient::fail(const HttpResponse& response, const QString& path)
{
    const QString where = urlOf(path).toDisplayString(QUrl::RemoveUserInfo);
    switch (response.failure) {
    case HttpResponse::Failure::None:
        break;
    case HttpResponse::Failure::Timeout:
        throw SyncError(texts::kTimeout.arg(m_server.host()));
    case HttpResponse::Failure::TooLarge:
        throw SyncError(texts::kTooLarge.arg(kMaxResponseBytes / (1024 * 1024)));
    case HttpResponse::Failure::Cancelled:
        throw SyncCancelled();
    case HttpResponse::Failure::Tls:
        throw SyncError(texts::kTls.arg(m_server.host(), response.failureText));
    case HttpResponse::Failure::Network:
        throw SyncError(texts::kNetwork.arg(m_server.host(), response.failureText));
    }
    if (response.status == 401)
        throw SyncError(texts::kUnauthorized);
    if (response.status == 403)
        throw SyncError(texts::kForbidden.arg(where));
    if (response.status == 404)
        throw SyncError(texts::kNotFound.arg(where));
    if (response.status >= 500)
        throw SyncError(texts::kServerError.arg(response.status).arg(where));
    throw SyncError(texts::kOtherStatus.arg(where).arg(response.status));
}

Multistatus DavClient::multistatus(const HttpResponse& response, const QString& path)
{
    if (response.status != 207)
        fail(response, path);
    QString error;
    std::optional<Multistatus> parsed = parseMultistatus(response.body, path, &error);
    if (!parsed)
        throw SyncError(error);
    return std::move(*parsed);
}

std::vector<Collection> DavClient::discover(CollectionKind kind)
{
    const bool book = kind == CollectionKind::AddressBook;
    const auto collectionsIn = [&](const Multistatus& status, const QString& except) {
        std::vector<Collection> found;
        for (const DavEntry& entry : status.entries) {
            if (withSlash(entry.path) == withSlash(except) && !except.isEmpty())
                continue;
            const bool events = entry.components.isEmpty() || entry.components.contains(QStringLiteral("VEVENT"));
            if (book ? entry.isAddressBook : (entry.isCalendar && events))
                found.push_back({withSlash(entry.path), entry.displayName, kind, entry.components,
                                 entry.reportsSyncCollection});
        }
        return found;
    };

    // The address given may be the collection itself.
    const QString start = m_server.path(QUrl::FullyDecoded);
    HttpResponse first = request("PROPFIND", start, requests::propfindCollections(), "0", {}, true);
    if (first.status == 207) {
        std::vector<Collection> itself = collectionsIn(multistatus(first, start), QString());
        if (!itself.empty())
            return itself;
    } else if (first.status == 401 || first.failure != HttpResponse::Failure::None) {
        fail(first, start);
    }

    const QString home = homeSet(kind);
    return collectionsIn(multistatus(request("PROPFIND", home, requests::propfindCollections(), "1"), home), home);
}

QString DavClient::homeSet(CollectionKind kind)
{
    const int which = kind == CollectionKind::AddressBook ? 0 : 1;
    if (!m_home[which].isEmpty())
        return m_home[which];

    const QString start = m_server.path(QUrl::FullyDecoded);
    const QString wellKnown = kind == CollectionKind::AddressBook ? QStringLiteral("/.well-known/carddav")
                                                                  : QStringLiteral("/.well-known/caldav");
    QString principal;
    for (const QString& at : {start, wellKnown}) {
        const HttpResponse response = request("PROPFIND", at, requests::propfindPrincipal(), "0", {}, true);
        if (response.status == 401 || response.failure != HttpResponse::Failure::None)
            fail(response, at);
        if (response.status != 207)
            continue;
        for (const DavEntry& entry : multistatus(response, at).entries)
            if (!entry.currentUserPrincipal.isEmpty())
                principal = entry.currentUserPrincipal;
        if (!principal.isEmpty())
            break;
    }
    if (principal.isEmpty())
        principal = start;

    const Multistatus homes = multistatus(request("PROPFIND", principal, requests::propfindHomeSets(), "0"), principal);
    for (const DavEntry& entry : homes.entries) {
        if (!entry.addressBookHome.isEmpty())
            m_home[0] = withSlash(entry.addressBookHome);
        if (!entry.calendarHome.isEmpty())
            m_home[1] = withSlash(entry.calendarHome);
    }
    if (m_home[which].isEmpty())
        throw SyncError(texts::kNoHomeSet.arg(m_server.toDisplayString(QUrl::RemoveUserInfo)));
    return m_home[which];
}

Collection DavClient::create(CollectionKind kind, const QString& displayName)
{
    const QString path = withSlash(homeSet(kind) + QUuid::createUuid().toString(QUuid::WithoutBraces));
    const bool book = kind == CollectionKind::AddressBook;
    const HttpResponse response = book ? request("MKCOL", path, requests::makeAddressBook(displayName))
                                       : request("MKCALENDAR", path, requests::makeCalendar(displayName));
    if (response.status != 201 && !response.ok()) {
        if (response.status == 401 || response.failure != HttpResponse::Failure::None)
            fail(response, path);
        throw SyncError(texts::kCannotCreate.arg(displayName).arg(response.status));
    }
    return {path, displayName, kind, book ? QStringList() : QStringList{QStringLiteral("VEVENT")}, false};
}

std::optional<ServerChanges> DavClient::syncReport(const Collection& collection, const QString& token)
{
    ServerChanges changes;
    changes.full = token.isEmpty();
    QString from = token;
    for (int round = 0; round < kMaxSyncRounds; ++round) {
        const HttpResponse response = request("REPORT", collection.path, requests::syncCollection(from), "0");
        if (response.status != 207) {
            // Refused tokens differ by server (403 with valid-sync-token, 409,
            // even 500); the caller lists the collection instead. Wrong
            // credentials and a dead network are no reason to try again.
            if (response.status == 401 || response.status == 404 || response.failure != HttpResponse::Failure::None)
                fail(response, collection.path);
            return std::nullopt;
        }
        const Multistatus status = multistatus(response, collection.path);
        bool truncated = false;
        for (const DavEntry& entry : status.entries) {
            if (withSlash(entry.path) == collection.path) {
                truncated = truncated || entry.status == 507;
                continue;
            }
            if (entry.status == 404)
                changes.removed.append(entry.path);
            else if (!entry.isCollection)
                changes.present.emplace_back(entry.path, entry.etag);
        }
        changes.token = status.syncToken;
        if (!truncated || status.syncToken.isEmpty() || status.syncToken == from)
            return changes;
        from = status.syncToken;
    }
    return changes;
}

ServerChanges DavClient::listing(const Collection& collection)
{
    ServerChanges changes;
    changes.full = true;
    const Multistatus status =
        multistatus(request("PROPFIND", collection.path, requests::propfindEtags(), "1"), collection.path);
    for (const DavEntry& entry : status.entries) {
        if (withSlash(entry.path) == collection.path || entry.isCollection)
            continue;
        changes.present.emplace_back(entry.path, entry.etag);
    }
    return changes;
}

ServerChanges DavClient::changesSince(const Collection& collection, const QString& token)
{
    if (std::optional<ServerChanges> changes = syncReport(collection, token))
        return std::move(*changes);
    if (!token.isEmpty()) {
        if (std::optional<ServerChanges> changes = syncReport(collection, QString()))
            return std::move(*changes);
    }
    return listing(collection);
}

std::vector<DavEntry> DavClient::multiget(const Collection& collection, const QStringList& paths)
{
    std::vector<DavEntry> items;
    for (qsizetype at = 0; at < paths.size(); at += kMultigetBatch) {
        const QStringList batch = paths.mid(at, kMultigetBatch);
        Multistatus status =
            multistatus(request("REPORT", collection.path, requests::multiget(collection.kind, batch), "1"), collection.path);
        for (DavEntry& entry : status.entries)
            if (entry.hasData)
                items.push_back(std::move(entry));
    }
    return items;
}

std::optional<PutResult> DavClient::put(const QString& path, const QByteArray& body, const QByteArray& contentType,
                                        const QByteArray& etag)
{
    QList<QPair<QByteArray, QByteArray>> headers{{"Content-Type", contentType}};
    if (etag.isEmpty())
        headers.append(qMakePair(QByteArray("If-None-Match"), QByteArray("*")));
    else
        headers.append(qMakePair(QByteArray("If-Match"), etag));
    const HttpResponse response = request("PUT", path, body, {}, headers);
    if (response.status == 412)
        return std::nullopt;
    if (!response.ok())
        fail(response, path);
    PutResult result;
    result.path = path;
    if (const QByteArray location = response.header("Location"); !location.isEmpty())
        result.path = urlOf(path).resolved(QUrl::fromEncoded(location)).path(QUrl::FullyDecoded);
    result.etag = response.header("ETag");
    // A weak tag does not promise the bytes we sent: fetch the item back.
    if (result.etag.startsWith("W/"))
        result.etag.clear();
    return result;
}

bool DavClient::remove(const QString& path, const QByteArray& etag)
{
    QList<QPair<QByteArray, QByteArray>> headers;
    if (!etag.isEmpty())
        headers.append(qMakePair(QByteArray("If-Match"), etag));
    const HttpResponse response = request("DELETE", path, {}, {}, headers);
    if (response.status == 412)
        return false;
    if (response.ok() || response.status == 404)
        return true;
    fail(response, path);
}

} // namespace davsync
