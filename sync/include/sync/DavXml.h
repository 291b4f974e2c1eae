#pragma once

// WebDAV, CardDAV and CalDAV bodies (RFC 4918, 6352, 4791, 6578): the
// requests as text and the servers' multistatus answers read into plain
// values. No network here.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace davsync {

// One <response> of a multistatus, with the properties the server gave with
// a 2xx status; those it answered 404 for are simply absent.
struct DavEntry {
    QString path;          // decoded path of the href, resolved against the request
    int status = 0;        // the response's own status (a sync report's 404), 0 when only propstats
    QByteArray etag;       // as sent, quotes included
    QString displayName;
    bool isCollection = false;
    bool isAddressBook = false;
    bool isCalendar = false;
    QStringList components;         // supported-calendar-component-set: "VEVENT", ...
    bool reportsSyncCollection = false;
    QString syncToken;              // the collection's sync-token property
    QString currentUserPrincipal;   // decoded paths
    QString addressBookHome;
    QString calendarHome;
    QByteArray data;                // address-data or calendar-data, UTF-8
    bool hasData = false;
};

struct Multistatus {
    std::vector<DavEntry> entries;
    QString syncToken; // of a sync-collection report
};

// Reads a 207 body. nullopt and a Czech reason when it is no multistatus
// (malformed XML, another root, nesting past sense).
std::optional<Multistatus> parseMultistatus(const QByteArray& xml, const QString& requestPath, QString* error);

// What a collection holds.
enum class CollectionKind { AddressBook, Calendar };

namespace requests {

// PROPFIND bodies.
QByteArray propfindPrincipal();       // current-user-principal
QByteArray propfindHomeSets();        // addressbook-home-set, calendar-home-set
QByteArray propfindCollections();     // resourcetype, displayname, sync-token, components, reports
QByteArray propfindEtags();           // getetag (a collection's listing)

// REPORT sync-collection with the token of the last sync (empty: everything).
QByteArray syncCollection(const QString& token);
// REPORT addressbook-multiget / calendar-multiget of these decoded paths.
QByteArray multiget(CollectionKind kind, const QStringList& paths);

// Extended MKCOL of an address book; MKCALENDAR of a calendar of events.
QByteArray makeAddressBook(const QString& displayName);
QByteArray makeCalendar(const QString& displayName);

} // namespace requests

// The XML element values, escaped for text content.
QByteArray xmlEscaped(const QString& text);

} // namespace davsync
