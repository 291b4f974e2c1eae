#include "sync/NameDayCalendar.h"

#include "platform/OwnFiles.h"
#include "store/Catalogue.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QDate>

namespace davsync {

namespace {

// A year whose days match the table's numbering (29 February is day 60).
constexpr int kLeapYear = 2000;

// "Klaudie" → "Svátek má Klaudie", "Petr a Pavel" → "Svátek mají Petr a
// Pavel"; a holiday ("Nový rok", "Den vítězství") stays as it is.
QString summaryOf(const QString& names)
{
    const bool several = names.contains(QStringLiteral(" a ")) || names.contains(QLatin1Char(','));
    if (!several && names.contains(QLatin1Char(' ')))
        return names;
    return (several ? QStringLiteral("Svátek mají ") : QStringLiteral("Svátek má ")) + names;
}

} // namespace

std::vector<YearlyEvent> nameDayEvents(store::Database& database)
{
    std::vector<YearlyEvent> events;
    // The table is protected by the program's own password, which only the
    // name-day window registers; a sync may come before that window.
    database.registerPassword(store::dataTablesPassword());
    store::Cursor cursor(database, "Svatek.db");
    cursor.open();
    for (cursor.first(); !cursor.eof(); cursor.next()) {
        const int number = std::atoi(cursor.text("Číslo").c_str());
        const QDate day = QDate(kLeapYear, 1, 1).addDays(number - 1);
        if (number < 1 || number > 366 || !day.isValid())
            continue;
        const QString tag = day.toString(QStringLiteral("MMdd"));
        const QString names = QString::fromStdString(cursor.text("Svátek")).trimmed();
        const QString anniversary = QString::fromStdString(cursor.text("Výročí")).trimmed();
        if (!names.isEmpty())
            events.push_back({QStringLiteral("svatek-%1@pelmir").arg(tag), day, summaryOf(names)});
        if (!anniversary.isEmpty())
            events.push_back({QStringLiteral("vyroci-%1@pelmir").arg(tag), day, anniversary});
    }
    return events;
}

QByteArray nameDayCalendar(store::Database& database, const QDateTime& stamp)
{
    return writeYearlyEvents(nameDayEvents(database), stamp, kNameDayCalendarName);
}

int exportNameDaysFromCommandLine(store::Database& database, const QString& path, const QDateTime& stamp,
                                  QTextStream& out, QTextStream& err)
{
    const QByteArray calendar = nameDayCalendar(database, stamp);
    const platform::WriteResult written = platform::writeOwnFile(path, calendar);
    if (!written.ok()) {
        err << written.error << '\n';
        return 1;
    }
    out << QStringLiteral("Jmeniny a výročí zapsány do „%1“ (%2 událostí).").arg(path).arg(calendar.count("BEGIN:VEVENT"))
        << '\n';
    return 0;
}

} // namespace davsync
