// The name-day calendar as any calendar program reads it: khal shows the
// right names on the right days, 29 February in leap years only.

#include "DavServers.h"
#include "SyncFixture.h"

#include "sync/NameDayCalendar.h"

#include "store/Cursor.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

class NameDayCalendarTest : public SyncFixture {};

TEST_F(NameDayCalendarTest, khalShowsTheNamesOnTheirDaysAndTheTwentyNinthOfFebruaryInLeapYearsOnly)
{
    // An anniversary of the user's own, with a character iCalendar escapes.
    {
        store::Cursor cursor(database(), "Svatek.db");
        cursor.open();
        for (cursor.first(); !cursor.eof() && cursor.text("Datum") != "5. květen"; cursor.next()) {
        }
        cursor.edit();
        cursor.setText("Výročí", "svatba Jana, Eva; 1999");
        cursor.post();
    }
    const QByteArray calendar = davsync::nameDayCalendar(database(), QDateTime(QDate(2026, 1, 1), QTime(0, 0), Qt::UTC));
    EXPECT_TRUE(calendar.contains("SUMMARY:svatba Jana\\, Eva\\; 1999"));
    EXPECT_EQ(calendar.count("BEGIN:VEVENT"), 367);

    if (QStandardPaths::findExecutable(QStringLiteral("khal")).isEmpty())
        GTEST_SKIP() << "khal is not installed";
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("cal"));
    QFile file(dir.filePath(QStringLiteral("jmeniny.ics")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(calendar);
    file.close();
    QFile config(dir.filePath(QStringLiteral("khal.conf")));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write(QStringLiteral("[calendars]\n[[jmeniny]]\npath = %1/cal/\n[locale]\ndateformat = %d.%m.%Y\n"
                                "longdateformat = %d.%m.%Y\ndatetimeformat = %d.%m.%Y %H:%M\n"
                                "longdatetimeformat = %d.%m.%Y %H:%M\ntimeformat = %H:%M\n"
                                "[default]\ndefault_calendar = jmeniny\n")
                     .arg(dir.path())
                     .toUtf8());
    config.close();
    const QStringList env{QStringLiteral("HOME=") + dir.path(), QStringLiteral("LANG=C.UTF-8"), QStringLiteral("TZ=Europe/Prague")};
    const QStringList base{QStringLiteral("-c"), dir.filePath(QStringLiteral("khal.conf"))};
    QString output;
    ASSERT_EQ(runTool(QStringLiteral("khal"),
                      base + QStringList{QStringLiteral("import"), QStringLiteral("--batch"), QStringLiteral("-a"),
                                         QStringLiteral("jmeniny"), file.fileName()},
                      dir.path(), &output, {}, env),
              0)
        << output.toStdString();
    const auto day = [&](const char* date) {
        QString shown;
        runTool(QStringLiteral("khal"),
                base + QStringList{QStringLiteral("list"), QString::fromLatin1(date), QString::fromLatin1(date)},
                dir.path(), &shown, {}, env);
        return shown;
    };
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
        {"01.03.2027", "Bedřich", "Horymír"},
        {"29.06.2027", "Svátek mají Petr a Pavel", nullptr},
    };
    for (const Case& c : cases) {
        const QString shown = day(c.date);
        EXPECT_TRUE(shown.contains(QString::fromUtf8(c.shown))) << c.date << ": " << shown.toStdString();
        if (c.notShown) {
            EXPECT_FALSE(shown.contains(QString::fromUtf8(c.notShown))) << c.date << ": " << shown.toStdString();
        }
    }
}

// A sync from the menu may come before the name-day window registered the
// protected table's password: reading the calendar does not depend on it.
TEST_F(NameDayCalendarTest, readsTheProtectedTableWithoutTheWindowsHelp)
{
    store::Database fresh(std::filesystem::path(workDir().toStdString()) / "Data");
    EXPECT_EQ(davsync::nameDayEvents(fresh).size(), 366u);
}

} // namespace
