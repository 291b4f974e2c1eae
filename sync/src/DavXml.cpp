#include "sync/DavXml.h"

#include "SyncTexts.h"

#include <QUrl>
#include <QXmlStreamReader>

namespace davsync {

namespace {

const QString kDav = QStringLiteral("DAV:");
const QString kCardDav = QStringLiteral("urn:ietf:params:xml:ns:carddav");
const QString kCalDav = QStringLiteral("urn:ietf:params:xml:ns:caldav");

// Deeper than any multistatus: a body nesting past this is no answer to us.
constexpr int kMaxDepth = 40;

const QByteArray kHeader = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";

QString decodedPath(const QString& href, const QString& requestPath)
{
    QUrl base;
    base.setPath(requestPath);
    const QUrl url = base.resolved(QUrl::fromEncoded(href.trimmed().toUtf8()));
    return url.path(QUrl::FullyDecoded);
}

class Reader {
public:
    Reader(const QByteArray& xml, const QString& requestPath) : m_xml(xml), m_requestPath(requestPath) {}

    std::optional<Multistatus> read(QString* error)
    {
        Multistatus result;
        bool rootSeen = false;
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (!m_xml.isStartElement())
                continue;
            if (!rootSeen) {
                rootSeen = true;
                if (!isDav(QStringLiteral("multistatus"))) {
                    *error = texts::kNotMultistatus;
                    return std::nullopt;
                }
                continue;
            }
            if (isDav(QStringLiteral("response"))) {
                if (!readResponse(result))
                    break;
            } else if (isDav(QStringLiteral("sync-token"))) {
                result.syncToken = m_xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            } else {
                m_xml.skipCurrentElement();
            }
        }
        if (m_xml.hasError() || m_tooDeep) {
            *error = texts::kBadXml.arg(m_tooDeep ? texts::kTooDeep : m_xml.errorString())
                         .arg(m_xml.lineNumber());
            return std::nullopt;
        }
        if (!rootSeen) {
            *error = texts::kNotMultistatus;
            return std::nullopt;
        }
        return result;
    }

private:
    bool isDav(const QString& name) const { return m_xml.namespaceUri() == kDav && m_xml.name() == name; }
    bool is(const QString& ns, const QString& name) const { return m_xml.namespaceUri() == ns && m_xml.name() == name; }

    static int statusOf(const QString& line)
    {
        // "HTTP/1.1 200 OK"
        const QStringList parts = line.simplified().split(QLatin1Char(' '));
        return parts.size() >= 2 ? parts[1].toInt() : 0;
    }

    // The text of the single <href> inside the current element.
    QString hrefInside()
    {
        QString href;
        int depth = 0;
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement()) {
                if (++depth > kMaxDepth)
                    return fail();
                if (isDav(QStringLiteral("href"))) {
                    href = m_xml.readElementText(QXmlStreamReader::IncludeChildElements);
                    --depth;
                }
            } else if (m_xml.isEndElement()) {
                if (depth-- == 0)
                    break;
            }
        }
        return href.isEmpty() ? QString() : decodedPath(href, m_requestPath);
    }

    QString fail()
    {
        m_tooDeep = true;
        m_xml.raiseError(texts::kTooDeep);
        return {};
    }

    bool readResponse(Multistatus& result)
    {
        DavEntry entry;
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isEndElement() && isDav(QStringLiteral("response")))
                break;
            if (!m_xml.isStartElement())
                continue;
            if (isDav(QStringLiteral("href"))) {
                entry.path = decodedPath(m_xml.readElementText(QXmlStreamReader::IncludeChildElements), m_requestPath);
            } else if (isDav(QStringLiteral("status"))) {
                entry.status = statusOf(m_xml.readElementText(QXmlStreamReader::IncludeChildElements));
            } else if (isDav(QStringLiteral("propstat"))) {
                if (!readPropstat(entry))
                    return false;
            } else {
                m_xml.skipCurrentElement();
            }
        }
        if (m_xml.hasError())
            return false;
        if (!entry.path.isEmpty())
            result.entries.push_back(std::move(entry));
        return true;
    }

    // Properties go into a scratch entry first: they count only when the
    // propstat's status (which may come after them) is 2xx.
    bool readPropstat(DavEntry& entry)
    {
        DavEntry props = entry;
        int status = 0;
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isEndElement() && isDav(QStringLiteral("propstat")))
                break;
            if (!m_xml.isStartElement())
                continue;
            if (isDav(QStringLiteral("status")))
                status = statusOf(m_xml.readElementText(QXmlStreamReader::IncludeChildElements));
            else if (isDav(QStringLiteral("prop")))
                readProp(props);
            else
                m_xml.skipCurrentElement();
            if (m_xml.hasError())
                return false;
        }
        if (status >= 200 && status < 300)
            entry = std::move(props);
        return !m_xml.hasError();
    }

    void readProp(DavEntry& entry)
    {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isEndElement() && isDav(QStringLiteral("prop")))
                return;
            if (!m_xml.isStartElement())
                continue;
            if (isDav(QStringLiteral("getetag"))) {
                entry.etag = m_xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed().toUtf8();
            } else if (isDav(QStringLiteral("displayname"))) {
                entry.displayName = m_xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            } else if (isDav(QStringLiteral("sync-token"))) {
                entry.syncToken = m_xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            } else if (isDav(QStringLiteral("resourcetype"))) {
                readResourceType(entry);
            } else if (isDav(QStringLiteral("current-user-principal"))) {
                entry.currentUserPrincipal = hrefInside();
            } else if (is(kCardDav, QStringLiteral("addressbook-home-set"))) {
                entry.addressBookHome = hrefInside();
            } else if (is(kCalDav, QStringLiteral("calendar-home-set"))) {
                entry.calendarHome = hrefInside();
            } else if (is(kCalDav, QStringLiteral("supported-calendar-component-set"))) {
                readComponents(entry);
            } else if (isDav(QStringLiteral("supported-report-set"))) {
                readReports(entry);
            } else if (is(kCardDav, QStringLiteral("address-data")) || is(kCalDav, QStringLiteral("calendar-data"))) {
                entry.data = m_xml.readElementText(QXmlStreamReader::IncludeChildElements).toUtf8();
                entry.hasData = true;
            } else {
                m_xml.skipCurrentElement();
            }
            if (m_xml.hasError())
                return;
        }
    }

    void readResourceType(DavEntry& entry)
    {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isEndElement() && isDav(QStringLiteral("resourcetype")))
                return;
            if (!m_xml.isStartElement())
                continue;
            if (isDav(QStringLiteral("collection")))
                entry.isCollection = true;
            else if (is(kCardDav, QStringLiteral("addressbook")))
                entry.isAddressBook = true;
            else if (is(kCalDav, QStringLiteral("calendar")))
                entry.isCalendar = true;
            m_xml.skipCurrentElement();
        }
    }

    void readComponents(DavEntry& entry)
    {
        const QString end = m_xml.name().toString();
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isEndElement() && m_xml.name() == end)
                return;
            if (m_xml.isStartElement() && is(kCalDav, QStringLiteral("comp")))
                entry.components.append(m_xml.attributes().value(QStringLiteral("name")).toString().toUpper());
        }
    }

    // Any sync-collection element inside the set counts: some servers leave
    // out the <report> wrapper around it.
    void readReports(DavEntry& entry)
    {
        int depth = 0;
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement()) {
                if (++depth > kMaxDepth) {
                    fail();
                    return;
                }
                if (isDav(QStringLiteral("sync-collection")))
                    entry.reportsSyncCollection = true;
            } else if (m_xml.isEndElement()) {
                if (depth-- == 0)
                    return;
            }
        }
    }

    QXmlStreamReader m_xml;
    QString m_requestPath;
    bool m_tooDeep = false;
};

QByteArray propfind(const QByteArray& props)
{
    return kHeader +
           "<d:propfind xmlns:d=\"DAV:\" xmlns:card=\"urn:ietf:params:xml:ns:carddav\" "
           "xmlns:cal=\"urn:ietf:params:xml:ns:caldav\"><d:prop>" +
           props + "</d:prop></d:propfind>\n";
}

} // namespace

QByteArray xmlEscaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

std::optional<Multistatus> parseMultistatus(const QByteArray& xml, const QString& requestPath, QString* error)
{
    Reader reader(xml, requestPath);
    return reader.read(error);
}

namespace requests {

QByteArray propfindPrincipal()
{
    return propfind("<d:current-user-principal/>");
}

QByteArray propfindHomeSets()
{
    return propfind("<card:addressbook-home-set/><cal:calendar-home-set/>");
}

QByteArray propfindCollections()
{
    return propfind("<d:resourcetype/><d:displayname/><d:sync-token/><d:supported-report-set/>"
                    "<cal:supported-calendar-component-set/>");
}

QByteArray propfindEtags()
{
    return propfind("<d:resourcetype/><d:getetag/>");
}

QByteArray syncCollection(const QString& token)
{
    return kHeader + "<d:sync-collection xmlns:d=\"DAV:\"><d:sync-token>" + xmlEscaped(token) +
           "</d:sync-token><d:sync-level>1</d:sync-level><d:prop><d:getetag/></d:prop></d:sync-collection>\n";
}

QByteArray multiget(CollectionKind kind, const QStringList& paths)
{
    const bool card = kind == CollectionKind::AddressBook;
    QByteArray body = kHeader;
    body += card ? "<x:addressbook-multiget xmlns:d=\"DAV:\" xmlns:x=\"urn:ietf:params:xml:ns:carddav\">"
                 : "<x:calendar-multiget xmlns:d=\"DAV:\" xmlns:x=\"urn:ietf:params:xml:ns:caldav\">";
    body += card ? "<d:prop><d:getetag/><x:address-data/></d:prop>" : "<d:prop><d:getetag/><x:calendar-data/></d:prop>";
    for (const QString& path : paths) {
        QUrl url;
        url.setPath(path);
        body += "<d:href>" + xmlEscaped(QString::fromUtf8(url.toEncoded())) + "</d:href>";
    }
    body += card ? "</x:addressbook-multiget>\n" : "</x:calendar-multiget>\n";
    return body;
}

QByteArray makeAddressBook(const QString& displayName)
{
    return kHeader +
           "<d:mkcol xmlns:d=\"DAV:\" xmlns:card=\"urn:ietf:params:xml:ns:carddav\"><d:set><d:prop>"
           "<d:resourcetype><d:collection/><card:addressbook/></d:resourcetype><d:displayname>" +
           xmlEscaped(displayName) + "</d:displayname></d:prop></d:set></d:mkcol>\n";
}

QByteArray makeCalendar(const QString& displayName)
{
    return kHeader +
           "<cal:mkcalendar xmlns:d=\"DAV:\" xmlns:cal=\"urn:ietf:params:xml:ns:caldav\"><d:set><d:prop>"
           "<d:displayname>" +
           xmlEscaped(displayName) +
           "</d:displayname><cal:supported-calendar-component-set><cal:comp name=\"VEVENT\"/>"
           "</cal:supported-calendar-component-set></d:prop></d:set></cal:mkcalendar>\n";
}

} // namespace requests

} // namespace davsync
