// Calendar objects read as planner days and written back: what phones and
// other programs put in an event survives, a day stays that day.

#include "sync/DayEvent.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace davsync;

namespace {

QByteArray calendar(const QByteArray& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//Test//EN\r\n" + events + "END:VCALENDAR\r\n";
}

const QDateTime kStamp(QDate(2026, 12, 11), QTime(9, 0), QTimeZone::utc());

// The readings a planner day gets from the events phones write.
TEST(DayEvent, readsTheDayAndTextOfWhatPhonesWrite)
{
    qputenv("TZ", "Europe/Prague");
    struct Case {
        const char* what;
        QByteArray events;
        QDate day;
        const char* text;
        bool timed;
        bool recurring;
    };
    const Case cases[] = {
        {"all-day with a description that starts with the summary",
         "BEGIN:VEVENT\r\nUID:a\r\nDTSTART;VALUE=DATE:20270505\r\nSUMMARY:Zubař\r\nDESCRIPTION:Zubař\\nvzít kartu\r\n"
         "END:VEVENT\r\n",
         QDate(2027, 5, 5), "Zubař\nvzít kartu", false, false},
        {"summary only, escaped and folded mid-character",
         "BEGIN:VEVENT\r\nUID:b\r\nDTSTART;VALUE=DATE:20270101\r\nSUMMARY:Oběd s Janou\\, Evou \\; pak kino a dlouhý\r\n"
         "  text\r\nEND:VEVENT\r\n",
         QDate(2027, 1, 1), "Oběd s Janou, Evou ; pak kino a dlouhý text", false, false},
        {"a summary and a description of their own",
         "BEGIN:VEVENT\r\nUID:c\r\nDTSTART;VALUE=DATE:20270301\r\nSUMMARY:Porada\r\nDESCRIPTION:zasedačka 3\r\nEND:VEVENT\r\n",
         QDate(2027, 3, 1), "Porada\nzasedačka 3", false, false},
        {"timed in UTC, late evening here is the next day",
         "BEGIN:VEVENT\r\nUID:d\r\nDTSTART:20270228T233000Z\r\nDTEND:20270228T234500Z\r\nSUMMARY:Noční vlak\r\nEND:VEVENT\r\n",
         QDate(2027, 3, 1), "0:30–0:45 Noční vlak", true, false},
        {"timed in a named zone",
         "BEGIN:VEVENT\r\nUID:e\r\nDTSTART;TZID=America/New_York:20270505T090000\r\nSUMMARY:Hovor\r\nEND:VEVENT\r\n",
         QDate(2027, 5, 5), "15:00 Hovor", true, false},
        {"floating time stays as written",
         "BEGIN:VEVENT\r\nUID:f\r\nDTSTART:20270505T093000\r\nDTEND:20270505T101500\r\nSUMMARY:Kadeřník\r\nEND:VEVENT\r\n",
         QDate(2027, 5, 5), "9:30–10:15 Kadeřník", true, false},
        {"a series with a moved instance first: the master counts",
         "BEGIN:VEVENT\r\nUID:g\r\nRECURRENCE-ID;VALUE=DATE:20270112\r\nDTSTART;VALUE=DATE:20270113\r\nSUMMARY:Posunuto\r\n"
         "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:g\r\nDTSTART;VALUE=DATE:20270105\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:Plavání\r\n"
         "END:VEVENT\r\n",
         QDate(2027, 1, 5), "Plavání", false, true},
    };
    for (const Case& c : cases) {
        QString error;
        const std::optional<DayEvent> event = readDayEvent(calendar(c.events), &error);
        ASSERT_TRUE(event.has_value()) << c.what << ": " << error.toStdString();
        EXPECT_EQ(event->day, c.day) << c.what;
        EXPECT_EQ(event->text.toStdString(), std::string(c.text)) << c.what;
        EXPECT_EQ(event->timed, c.timed) << c.what;
        EXPECT_EQ(event->recurring, c.recurring) << c.what;
    }
    for (const QByteArray& bad : {QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nUID:x\r\nEND:VTODO\r\nEND:VCALENDAR\r\n"),
                                  QByteArray("\x00\xff garbage", 10), QByteArray()}) {
        QString error;
        EXPECT_FALSE(readDayEvent(bad, &error).has_value());
        EXPECT_FALSE(error.isEmpty());
    }
}

// A new day is an all-day event libical finds valid; an edit here keeps
// the phone's alarm, its own properties and a timed event's time.
TEST(DayEvent, writingKeepsWhatThePhoneAddedAndTheTime)
{
    qputenv("TZ", "Europe/Prague");
    const QByteArray fresh = writeDayEvent(QDate(2028, 2, 29), QStringLiteral("Přestupný den, oslava"),
                                           QStringLiteral("uid-1"), {}, kStamp);
    QString problem;
    EXPECT_TRUE(checkCalendar(fresh, &problem)) << problem.toStdString() << fresh.toStdString();
    EXPECT_TRUE(fresh.contains("DTSTART;VALUE=DATE:20280229")) << fresh.toStdString();
    EXPECT_TRUE(fresh.contains("DTEND;VALUE=DATE:20280301")) << fresh.toStdString();
    EXPECT_TRUE(fresh.contains("SUMMARY:Přestupný den\\, oslava")) << fresh.toStdString();
    const std::optional<DayEvent> back = readDayEvent(fresh, nullptr);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->text, QStringLiteral("Přestupný den, oslava"));
    EXPECT_EQ(back->uid, QStringLiteral("uid-1"));

    const QByteArray phone = calendar("BEGIN:VEVENT\r\nUID:p\r\nDTSTAMP:20260101T000000Z\r\n"
                                      "DTSTART;TZID=Europe/Prague:20270505T093000\r\n"
                                      "DTEND;TZID=Europe/Prague:20270505T101500\r\nSUMMARY:Kadeřník\r\n"
                                      "X-PHONE-COLOR:red\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Kadeřník\r\n"
                                      "TRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\n");
    const QByteArray edited =
        writeDayEvent(QDate(2027, 5, 6), QStringLiteral("9:30–10:15 Kadeřník, pak nákup"), QStringLiteral("p"), phone, kStamp);
    EXPECT_TRUE(checkCalendar(edited, &problem)) << problem.toStdString();
    for (const char* kept : {"X-PHONE-COLOR:red", "TRIGGER:-PT15M", "DTSTART;TZID=Europe/Prague:20270506T093000",
                             "DTEND;TZID=Europe/Prague:20270506T101500", "SUMMARY:Kadeřník\\, pak nákup", "UID:p"})
        EXPECT_TRUE(edited.contains(kept)) << kept << "\n" << edited.toStdString();
    EXPECT_EQ(readDayEvent(edited, nullptr)->text, QStringLiteral("9:30–10:15 Kadeřník, pak nákup"))
        << "the time is not doubled in the text";
}

TEST(DayEvent, yearlyEventsAreValidAndRecur)
{
    const QByteArray ics = writeYearlyEvents({{QStringLiteral("svatek-0229@pelmir"), QDate(2000, 2, 29),
                                               QStringLiteral("Svátek má Horymír")}},
                                             kStamp, QStringLiteral("Jmeniny a výročí"));
    QString problem;
    EXPECT_TRUE(checkCalendar(ics, &problem)) << problem.toStdString();
    EXPECT_TRUE(ics.contains("RRULE:FREQ=YEARLY")) << ics.toStdString();
    EXPECT_TRUE(ics.contains("X-WR-CALNAME:Jmeniny a výročí")) << ics.toStdString();
    const std::optional<DayEvent> event = readDayEvent(ics, nullptr);
    ASSERT_TRUE(event.has_value());
    EXPECT_TRUE(event->recurring);
    EXPECT_EQ(event->day, QDate(2000, 2, 29));
}

} // namespace
