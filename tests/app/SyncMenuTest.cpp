// "Synchronizovat" from the backup menu of the real main window, against a
// small in-memory DAV server: the menu's own path through the program's
// tables, which the command line and the sync module's tests do not take.
#include "AppFixture.h"

#include "sync/Http.h"
#include "sync/Passwords.h"
#include "sync/SyncSettings.h"

#include "store/Cursor.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <map>
#include <memory>

namespace apptest {
namespace {

using davsync::HttpRequest;
using davsync::HttpResponse;

// Just enough of a CalDAV/CardDAV server for a sync: one user whose
// principal and home are /dav/, collections made with MKCOL/MKCALENDAR,
// listings by PROPFIND (it knows no sync report, as some servers do not),
// conditional PUT and DELETE.
class MemoryServer {
public:
    struct Collection {
        QString name;
        bool calendar = false;
    };
    struct Item {
        QByteArray etag;
        QByteArray body;
    };

    HttpResponse answer(const HttpRequest& request)
    {
        const QString path = request.url.path();
        const QByteArray depth = header(request, "Depth");
        if (request.method == "PROPFIND") {
            if (request.body.contains("current-user-principal"))
                return multistatus(response(path, "<d:current-user-principal><d:href>/dav/</d:href>"
                                                  "</d:current-user-principal>"));
            if (request.body.contains("home-set"))
                return multistatus(response(path, "<card:addressbook-home-set><d:href>/dav/</d:href>"
                                                  "</card:addressbook-home-set><cal:calendar-home-set>"
                                                  "<d:href>/dav/</d:href></cal:calendar-home-set>"));
            if (path == QLatin1String("/dav/")) {
                QByteArray all = response(path, "<d:resourcetype><d:collection/></d:resourcetype>");
                if (depth == "1")
                    for (const auto& [at, collection] : collections)
                        all += collectionResponse(at, collection);
                return multistatus(all);
            }
            const auto found = collections.find(path);
            if (found == collections.end())
                return status(404);
            QByteArray all = collectionResponse(path, found->second);
            if (depth == "1")
                for (const auto& [at, item] : items)
                    if (at.startsWith(path))
                        all += response(at, "<d:resourcetype/><d:getetag>" + item.etag + "</d:getetag>");
            return multistatus(all);
        }
        if (request.method == "REPORT")
            return status(501);
        if (request.method == "MKCOL" || request.method == "MKCALENDAR") {
            const QRegularExpression name(QStringLiteral("<d:displayname>(.*)</d:displayname>"));
            collections[path] = {name.match(QString::fromUtf8(request.body)).captured(1),
                                 request.method == "MKCALENDAR"};
            return status(201);
        }
        if (request.method == "PUT") {
            const auto found = items.find(path);
            const QByteArray ifMatch = header(request, "If-Match");
            if ((header(request, "If-None-Match") == "*" && found != items.end()) ||
                (!ifMatch.isEmpty() && (found == items.end() || found->second.etag != ifMatch)))
                return status(412);
            const QByteArray etag = '"' + QByteArray::number(++m_version) + '"';
            items[path] = {etag, request.body};
            HttpResponse created = status(201);
            created.headers.append({"ETag", etag});
            return created;
        }
        if (request.method == "DELETE") {
            items.erase(path);
            return status(204);
        }
        return status(405);
    }

    // The items of the collection with that display name.
    int itemsIn(const QString& name) const
    {
        int count = 0;
        for (const auto& [at, collection] : collections)
            if (collection.name == name)
                for (const auto& item : items)
                    count += item.first.startsWith(at) ? 1 : 0;
        return count;
    }

    std::map<QString, Collection> collections;
    std::map<QString, Item> items;

private:
    static QByteArray header(const HttpRequest& request, const QByteArray& name)
    {
        for (const auto& [key, value] : request.headers)
            if (key.compare(name, Qt::CaseInsensitive) == 0)
                return value;
        return {};
    }
    static HttpResponse status(int code)
    {
        HttpResponse response;
        response.status = code;
        return response;
    }
    static QByteArray response(const QString& path, const QByteArray& props)
    {
        return "<d:response><d:href>" + path.toUtf8() + "</d:href><d:propstat><d:prop>" + props +
               "</d:prop><d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>";
    }
    static QByteArray collectionResponse(const QString& path, const Collection& collection)
    {
        const QByteArray kind = collection.calendar ? "<cal:calendar/>" : "<card:addressbook/>";
        QByteArray props = "<d:resourcetype><d:collection/>" + kind + "</d:resourcetype><d:displayname>" +
                           collection.name.toUtf8() + "</d:displayname>";
        if (collection.calendar)
            props += "<cal:supported-calendar-component-set><cal:comp name=\"VEVENT\"/>"
                     "</cal:supported-calendar-component-set>";
        return response(path, props);
    }
    static HttpResponse multistatus(const QByteArray& responses)
    {
        HttpResponse answer = status(207);
        answer.body = "<?xml version=\"1.0\"?><d:multistatus xmlns:d=\"DAV:\" "
                      "xmlns:card=\"urn:ietf:params:xml:ns:carddav\" xmlns:cal=\"urn:ietf:params:xml:ns:caldav\">" +
                      responses + "</d:multistatus>";
        return answer;
    }

    int m_version = 0;
};

// The network as the program meets it: while a request waits, the window
// thread keeps handling its events (repaints, timers), as the real transport
// does in its own event loop.
class ServerLink : public davsync::Transport {
public:
    explicit ServerLink(MemoryServer& server) : m_server(server) {}
    HttpResponse send(const HttpRequest& request) override
    {
        QCoreApplication::processEvents();
        return m_server.answer(request);
    }

private:
    MemoryServer& m_server;
};

class SyncMenuTest : public AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        beforeStart = [this] {
            QFile settings(workPath(QString::fromLatin1(davsync::kSettingsFileName)));
            ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
            settings.write("server=http://127.0.0.1:5232/dav/\nuser=anna\nplanner=1\nnamedays=1\n");
        };
    }

    // The program's sync services: the password as the keyring would give it,
    // the network replaced by the server above.
    void useServer()
    {
        auto passwords = std::make_unique<davsync::MemoryPasswords>();
        QString error;
        davsync::SyncSettings settings;
        settings.server = QUrl(QStringLiteral("http://127.0.0.1:5232/dav/"));
        settings.user = QStringLiteral("anna");
        passwords->write(davsync::passwordAccount(settings), QStringLiteral("heslo"), &error);
        m_app->setSyncServices(std::move(passwords), [this](const QString&, const QString&) {
            return std::unique_ptr<davsync::Transport>(std::make_unique<ServerLink>(m_server));
        });
    }

    MemoryServer m_server;
};

// A sync from the menu right after start, before any window that shows name
// days was opened, reads the protected name-day table and puts the planner's
// day and every name day on the server.
TEST_F(SyncMenuTest, theMenuSyncsContactsPlannerAndNameDaysBeforeAnyNameDayWindow)
{
    startWith(standardAddresses());
    {
        store::Cursor days(m_app->database(), "Datp.DB");
        days.open();
        days.insertRecord({"5.5.2027", "Zubař v 9:00"});
    }
    useServer();

    action("Synchronizovat")->trigger();

    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1) << m_fakes.dialogs.lastBox().text.toStdString();
    const platform::ShownBox summary = m_fakes.dialogs.lastBox();
    EXPECT_EQ(summary.caption, QStringLiteral("Information"));
    EXPECT_TRUE(summary.text.contains(QStringLiteral("odesláno 366"))) << summary.text.toStdString();
    EXPECT_EQ(m_server.itemsIn(QStringLiteral("Adresář")), static_cast<int>(standardAddresses().size()));
    EXPECT_EQ(m_server.itemsIn(QStringLiteral("Plánovač")), 1);
    EXPECT_EQ(m_server.itemsIn(QStringLiteral("Jmeniny a výročí")), 366);

    // A second sync finds nothing to send.
    m_fakes.dialogs.clear();
    action("Synchronizovat")->trigger();
    ASSERT_EQ(m_fakes.dialogs.shown().size(), 1);
    EXPECT_TRUE(m_fakes.dialogs.lastBox().text.contains(QStringLiteral("odesláno 0")))
        << m_fakes.dialogs.lastBox().text.toStdString();
}

} // namespace
} // namespace apptest
