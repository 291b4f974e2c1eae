// The planner with a real Radicale and a real Xandikos on 127.0.0.1: a
// second client writing raw events plays the phone, khal through
// vdirsyncer shows what a phone's calendar would.

#include "CalendarPeer.h"
#include "DavServers.h"
#include "SyncFixture.h"

#include "sync/DayEvent.h"
#include "sync/PlannerSide.h"
#include "sync/QtTransport.h"
#include "sync/SyncSession.h"

#include "store/Cursor.h"

#include <QTimeZone>
#include <QUuid>

using namespace davsync;

namespace {

const QDateTime kStamp(QDate(2026, 12, 11), QTime(9, 0), QTimeZone::utc());

QByteArray phoneEvent(const QString& uid, const QByteArray& lines)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telefon//CS\r\nBEGIN:VEVENT\r\nUID:" + uid.toUtf8() +
           "\r\nDTSTAMP:20261201T100000Z\r\n" + lines + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

class PlannerSync : public SyncFixture, public testing::WithParamInterface<ServerKind> {
protected:
    void SetUp() override
    {
        SyncFixture::SetUp();
        qputenv("TZ", "Europe/Prague");
        QString why;
        bool installed = false;
        m_server = davServer(GetParam(), &why, &installed);
        if (!installed)
            GTEST_SKIP() << "the server is not installed";
        ASSERT_NE(m_server, nullptr) << why.toStdString();
        m_transport = std::make_unique<QtTransport>(m_server->user, m_server->password);
        m_client = std::make_unique<DavClient>(*m_transport, m_server->url);
        m_phone = std::make_unique<DavClient>(*m_transport, m_server->url);
        m_calendar = chooseCollection(*m_client, CollectionKind::Calendar, {},
                                      QStringLiteral("Plánovač %1").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)),
                                      {});
    }

    SyncReport sync()
    {
        DavClient client(*m_transport, m_server->url);
        PlannerSide side(database(), kStamp);
        SyncEngine engine(client, side, database(), m_calendar, decisions);
        SyncReport report = engine.run();
        lastRequests = client.requestCount();
        return report;
    }

    std::map<QString, QString> days()
    {
        std::map<QString, QString> result;
        store::Cursor cursor(database(), "Datp.DB");
        cursor.open();
        for (cursor.first(); !cursor.eof(); cursor.next())
            result[QString::fromStdString(cursor.text("Datum"))] = QString::fromStdString(cursor.text("Činnost"));
        return result;
    }

    void setDay(const char* date, const char* text)
    {
        store::Cursor cursor(database(), "Datp.DB");
        cursor.open();
        if (cursor.findKey(date)) {
            cursor.edit();
        } else {
            cursor.insert();
            cursor.setText("Datum", date);
        }
        cursor.setText("Činnost", text);
        cursor.post();
    }

    // The server's events: path → raw object.
    std::map<QString, QByteArray> serverEvents()
    {
        std::map<QString, QByteArray> events;
        QStringList paths;
        for (const auto& [path, etag] : m_phone->changesSince(m_calendar, {}).present)
            paths.append(path);
        for (const DavEntry& entry : m_phone->multiget(m_calendar, paths))
            events[entry.path] = entry.data;
        return events;
    }

    // The server's events read as days: "d.m.yyyy: text", sorted.
    QStringList serverDays()
    {
        QStringList shown;
        for (const auto& [path, body] : serverEvents()) {
            const std::optional<DayEvent> event = readDayEvent(body, nullptr);
            shown.append(event ? event->day.toString(QStringLiteral("d.M.yyyy")) + QStringLiteral(": ") + event->text
                               : QStringLiteral("?"));
        }
        shown.sort();
        return shown;
    }

    QString phonePut(const QByteArray& lines)
    {
        const QString uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
        const QString path = childPath(m_calendar.path, uid + QStringLiteral(".ics"));
        EXPECT_TRUE(m_phone->put(path, phoneEvent(uid, lines), "text/calendar", {}).has_value());
        return path;
    }

    void phoneRewrite(const QString& path, const QByteArray& from, const QByteArray& to)
    {
        for (const DavEntry& entry : m_phone->multiget(m_calendar, {path})) {
            QByteArray body = entry.data;
            body.replace(from, to);
            ASSERT_TRUE(m_phone->put(path, body, "text/calendar", entry.etag).has_value());
        }
    }

    QString pathOf(const QString& day)
    {
        for (const auto& [path, body] : serverEvents())
            if (const std::optional<DayEvent> event = readDayEvent(body, nullptr);
                event && event->day.toString(QStringLiteral("d.M.yyyy")) == day)
                return path;
        return {};
    }

    const DavServer* m_server = nullptr;
    std::unique_ptr<QtTransport> m_transport;
    std::unique_ptr<DavClient> m_client, m_phone;
    Collection m_calendar;
    ScriptedDecisions decisions;
    int lastRequests = 0;
};

// Days go up as all-day events on the same date; the phone's events come
// down: one for a day with an entry is added to its text (and leaves the
// server, being in the day's event now), a timed one keeps its time there
// and in the text, a series shows on its first day and stays as it was.
TEST_P(PlannerSync, daysAndPhoneEventsMeetOneEntryADay)
{
    setDay("5.5.2027", "Zubař");
    setDay("29.2.2028", "Přestupný den, oslava");
    EXPECT_EQ(sync().sent, 2);
    EXPECT_EQ(serverDays(), (QStringList{QStringLiteral("29.2.2028: Přestupný den, oslava"),
                                         QStringLiteral("5.5.2027: Zubař")}));

    phonePut("DTSTART;VALUE=DATE:20270505\r\nDTEND;VALUE=DATE:20270506\r\nSUMMARY:Vyzvednout dort\r\n");
    phonePut("DTSTART;TZID=Europe/Prague:20270101T100000\r\nDTEND;TZID=Europe/Prague:20270101T113000\r\n"
             "SUMMARY:Novoroční oběd\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:oběd\r\nTRIGGER:-PT1H\r\n"
             "END:VALARM\r\n");
    const QString series = phonePut("DTSTART;VALUE=DATE:20270303\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:Plavání\r\n");
    phonePut("DTSTART:20270505T160000Z\r\nSUMMARY:Porada\r\n");
    sync();
    auto here = days();
    // The phone's two events come in no particular order.
    const QString may = here[QStringLiteral("5.5.2027")];
    EXPECT_TRUE(may.startsWith(QStringLiteral("Zubař\n\n"))) << may.toStdString();
    EXPECT_TRUE(may.contains(QStringLiteral("\n\nVyzvednout dort"))) << may.toStdString();
    EXPECT_TRUE(may.contains(QStringLiteral("\n\n18:00 Porada"))) << may.toStdString();
    EXPECT_EQ(here[QStringLiteral("1.1.2027")], QStringLiteral("10:00–11:30 Novoroční oběd"));
    EXPECT_EQ(here[QStringLiteral("3.3.2027")], QStringLiteral("Plavání"));
    const QStringList there = serverDays();
    EXPECT_TRUE(there.contains(QStringLiteral("5.5.2027: ") + may)) << there.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(there.contains(QStringLiteral("5.5.2027: Vyzvednout dort"))) << "joined into the day's event";
    EXPECT_TRUE(there.contains(QStringLiteral("5.5.2027: 18:00 Porada"))) << "a timed event keeps its own";
    EXPECT_EQ(there.size(), 5) << there.join(QLatin1Char('|')).toStdString();

    // Edits here: the timed event keeps its time and alarm; the series is
    // not rewritten.
    setDay("1.1.2027", "10:00–11:30 Novoroční oběd u Nováků");
    setDay("3.3.2027", "Plavání, vzít plavky");
    sync();
    const auto events = serverEvents();
    const QByteArray lunch = events.at(pathOf(QStringLiteral("1.1.2027")));
    for (const char* kept : {"DTSTART;TZID=Europe/Prague:20270101T100000", "TRIGGER:-PT1H", "SUMMARY:Novoroční oběd u Nováků"})
        EXPECT_TRUE(lunch.contains(kept)) << kept << "\n" << lunch.toStdString();
    EXPECT_FALSE(events.at(series).contains("plavky")) << events.at(series).toStdString();
    EXPECT_TRUE(events.at(series).contains("RRULE:FREQ=WEEKLY")) << events.at(series).toStdString();
    EXPECT_EQ(days()[QStringLiteral("3.3.2027")], QStringLiteral("Plavání, vzít plavky"));

    // Deleted on either side.
    ASSERT_TRUE(m_phone->remove(pathOf(QStringLiteral("29.2.2028")), {}));
    store::Cursor cursor(database(), "Datp.DB");
    cursor.open();
    ASSERT_TRUE(cursor.findKey("1.1.2027"));
    cursor.remove();
    sync();
    here = days();
    EXPECT_FALSE(here.contains(QStringLiteral("29.2.2028")));
    EXPECT_TRUE(pathOf(QStringLiteral("1.1.2027")).isEmpty());

    sync();
    sync();
    EXPECT_EQ(lastRequests, 1) << "a sync with nothing changed lists the calendar once";
}

// Edited on both sides: both versions are asked about, the choice holds on
// both sides.
TEST_P(PlannerSync, aDayEditedOnBothSidesShowsBothVersions)
{
    setDay("24.12.2027", "Štědrý den u babičky");
    sync();
    const QString path = pathOf(QStringLiteral("24.12.2027"));
    ASSERT_FALSE(path.isEmpty());
    phoneRewrite(path, "u babičky", "u tety");
    setDay("24.12.2027", "Štědrý den doma");
    decisions.choice = Choice::Local;
    sync();
    ASSERT_EQ(decisions.asked.size(), 1u);
    EXPECT_EQ(decisions.asked[0].local[1], QStringLiteral("Štědrý den doma"));
    EXPECT_EQ(decisions.asked[0].server[1], QStringLiteral("Štědrý den u tety"));
    EXPECT_EQ(serverDays(), QStringList{QStringLiteral("24.12.2027: Štědrý den doma")});
    EXPECT_EQ(days()[QStringLiteral("24.12.2027")], QStringLiteral("Štědrý den doma"));
}

// What a phone shows: khal, through vdirsyncer, has the planner's days on
// their dates, and what is added in khal reaches the planner.
TEST_P(PlannerSync, khalShowsThePlannerAndWhatItAddsReachesThePlanner)
{
    setDay("29.2.2028", "Přestupný den, oslava");
    setDay("1.1.2027", "Nový rok u Nováků");
    sync();
    CalendarPeer peer;
    const QString problem = peer.setUp(m_client->urlOf(m_calendar.path), m_server->user, m_server->password);
    if (problem.endsWith(QStringLiteral("not installed")))
        GTEST_SKIP() << problem.toStdString();
    ASSERT_TRUE(problem.isEmpty()) << problem.toStdString();
    ASSERT_EQ(peer.sync(), 0) << peer.output().toStdString();
    EXPECT_TRUE(peer.day(QStringLiteral("29.02.2028")).contains(QStringLiteral("Přestupný den, oslava")))
        << peer.output().toStdString();
    EXPECT_FALSE(peer.day(QStringLiteral("28.02.2028")).contains(QStringLiteral("Přestupný")));
    EXPECT_FALSE(peer.day(QStringLiteral("01.03.2028")).contains(QStringLiteral("Přestupný")));
    EXPECT_TRUE(peer.day(QStringLiteral("01.01.2027")).contains(QStringLiteral("Nový rok u Nováků")));

    ASSERT_EQ(peer.add({QStringLiteral("05.05.2027"), QStringLiteral("Vyzvednout dort")}), 0) << peer.output().toStdString();
    ASSERT_EQ(peer.add({QStringLiteral("05.05.2027"), QStringLiteral("10:00"), QStringLiteral("11:00"),
                        QStringLiteral("Zubař")}),
              0)
        << peer.output().toStdString();
    ASSERT_EQ(peer.add({QStringLiteral("01.01.2027"), QStringLiteral("Ohňostroj")}), 0) << peer.output().toStdString();
    ASSERT_EQ(peer.sync(), 0) << peer.output().toStdString();
    sync();
    const auto here = days();
    const QString may = here.count(QStringLiteral("5.5.2027")) ? here.at(QStringLiteral("5.5.2027")) : QString();
    EXPECT_TRUE(may.contains(QStringLiteral("Vyzvednout dort"))) << may.toStdString();
    EXPECT_TRUE(may.contains(QStringLiteral("10:00–11:00 Zubař"))) << may.toStdString();
    EXPECT_EQ(here.at(QStringLiteral("1.1.2027")), QStringLiteral("Nový rok u Nováků\n\nOhňostroj"));
    ASSERT_EQ(peer.sync(), 0) << peer.output().toStdString();
    const QString newYear = peer.day(QStringLiteral("01.01.2027"));
    EXPECT_TRUE(newYear.contains(QStringLiteral("Nový rok u Nováků"))) << newYear.toStdString();
    EXPECT_EQ(newYear.count(QStringLiteral("Ohňostroj")), 1) << "joined into the day's event, not shown twice"
                                                             << newYear.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Servers, PlannerSync, testing::Values(ServerKind::Radicale, ServerKind::Xandikos),
                         [](const testing::TestParamInfo<ServerKind>& info) {
                             return info.param == ServerKind::Radicale ? std::string("Radicale") : std::string("Xandikos");
                         });

} // namespace
