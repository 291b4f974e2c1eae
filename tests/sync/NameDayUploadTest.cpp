// The name-day calendar on a real Radicale: uploaded whole once, then only
// what changed, and a phone's calendar (khal through vdirsyncer) shows the
// right names on the right days.

#include "CalendarPeer.h"
#include "DavServers.h"
#include "SyncFixture.h"

#include "sync/NameDayCalendar.h"
#include "sync/NameDayUpload.h"
#include "sync/QtTransport.h"
#include "sync/SyncSession.h"

#include "store/Cursor.h"

#include <QTimeZone>
#include <QUuid>

using namespace davsync;

namespace {

class NameDayUpload : public SyncFixture {
protected:
    void SetUp() override
    {
        SyncFixture::SetUp();
        QString why;
        bool installed = false;
        m_server = davServer(ServerKind::Radicale, &why, &installed);
        if (!installed)
            GTEST_SKIP() << "radicale is not installed";
        ASSERT_NE(m_server, nullptr) << why.toStdString();
        m_transport = std::make_unique<QtTransport>(m_server->user, m_server->password);
        m_client = std::make_unique<DavClient>(*m_transport, m_server->url);
        m_calendar = chooseCollection(*m_client, CollectionKind::Calendar, {},
                                      QStringLiteral("Jmeniny %1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)),
                                      {});
    }

    UploadReport upload()
    {
        DavClient client(*m_transport, m_server->url);
        const UploadReport report =
            uploadNameDays(client, m_calendar, database(), QDateTime(QDate(2026, 12, 11), QTime(9, 0), QTimeZone::utc()), {});
        lastRequests = client.requestCount();
        return report;
    }

    void setDay(const char* datum, const char* field, const char* text)
    {
        store::Cursor cursor(database(), "Svatek.db");
        cursor.open();
        for (cursor.first(); !cursor.eof() && cursor.text("Datum") != datum; cursor.next()) {
        }
        ASSERT_FALSE(cursor.eof()) << datum;
        cursor.edit();
        cursor.setText(field, text);
        cursor.post();
    }

    const DavServer* m_server = nullptr;
    std::unique_ptr<QtTransport> m_transport;
    std::unique_ptr<DavClient> m_client;
    Collection m_calendar;
    int lastRequests = 0;
};

// Uploaded once, then only changes; a changed anniversary replaces its
// event, names taken off a day take its event off the server, an event a
// phone changed is put back as the table says.
TEST_F(NameDayUpload, onlyChangesGoUpAndKhalShowsTheRightNames)
{
    setDay("5. květen", "Výročí", "svatba Jana, Eva; 1999");
    EXPECT_EQ(upload().sent, 367);
    EXPECT_EQ(upload().sent, 0);
    upload();
    EXPECT_EQ(lastRequests, 1) << "nothing changed: one request";

    CalendarPeer peer;
    const QString problem = peer.setUp(m_client->urlOf(m_calendar.path), m_server->user, m_server->password);
    if (problem.endsWith(QStringLiteral("not installed")))
        GTEST_SKIP() << problem.toStdString();
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    ASSERT_EQ(peer.sync(), 0) << peer.output().toStdString();
    struct Case {
        const char* date;
        const char* shown;
        const char* notShown;
    };
    const Case cases[] = {
        {"05.05.2027", "Svátek má Klaudie", "Horymír"},
        {"05.05.2027", "svatba Jana, Eva; 1999", nullptr},
        {"01.01.2027", "Nový rok", "Svátek"},
        {"29.02.2028", "Svátek má Horymír", nullptr},
        {"28.02.2027", "Svátek má Lumír", "Horymír"},
    };
    for (const Case& c : cases) {
        const QString shown = peer.day(QString::fromLatin1(c.date));
        EXPECT_TRUE(shown.contains(QString::fromUtf8(c.shown))) << c.date << ": " << shown.toStdString();
        if (c.notShown) {
            EXPECT_FALSE(shown.contains(QString::fromUtf8(c.notShown))) << c.date << ": " << shown.toStdString();
        }
    }

    setDay("5. květen", "Výročí", "stříbrná svatba Jana a Evy");
    setDay("1. leden", "Svátek", "");
    const UploadReport changed = upload();
    EXPECT_EQ(changed.sent, 1);
    EXPECT_EQ(changed.deleted, 1);
    ASSERT_EQ(peer.sync(), 0) << peer.output().toStdString();
    EXPECT_TRUE(peer.day(QStringLiteral("05.05.2027")).contains(QStringLiteral("stříbrná svatba Jana a Evy")));
    EXPECT_FALSE(peer.day(QStringLiteral("05.05.2027")).contains(QStringLiteral("1999")));
    EXPECT_FALSE(peer.day(QStringLiteral("01.01.2027")).contains(QStringLiteral("Nový rok")));

    // Deleted on the phone: the next upload puts it back.
    QDir cal(peer.folder());
    const QStringList files = cal.entryList({QStringLiteral("*.ics")});
    int removed = 0;
    for (const QString& name : files) {
        QFile file(cal.filePath(name));
        file.open(QIODevice::ReadOnly);
        if (file.readAll().contains("Svátek má Klaudie")) {
            file.close();
            removed += QFile::remove(cal.filePath(name)) ? 1 : 0;
        }
    }
    ASSERT_EQ(removed, 1);
    ASSERT_EQ(peer.sync(), 0) << peer.output().toStdString();
    EXPECT_EQ(upload().sent, 1);
    ASSERT_EQ(peer.sync(), 0) << peer.output().toStdString();
    EXPECT_TRUE(peer.day(QStringLiteral("05.05.2027")).contains(QStringLiteral("Svátek má Klaudie")));
}

} // namespace
