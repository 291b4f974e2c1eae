#include "sync/NameDayCalendar.h"

#include "platform/OwnFiles.h"
#include "store/Cursor.h"
#include "store/Database.h"

#include <QDate>
#include <QStringList>

namespace davsync {

namespace {

// A year whose days match the table's numbering (29 February is day 60).
constexpr int kLeapYear = 2000;

QByteArray escaped(const QString& text)
{
    QString value = text;
    value.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    value.replace(QLatin1Char(';'), QStringLiteral("\\;"));
    value.replace(QLatin1Char(','), QStringLiteral("\\,"));
    value.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    value.remove(QLatin1Char('\r'));
    return value.toUtf8();
}

// Content lines end in CRLF and fold at 75 bytes, never inside a character.
void appendLine(QByteArray& out, const QByteArray& line)
{
    qsizetype start = 0;
    bool first = true;
    while (line.size() - start > (first ? 75 : 74)) {
        qsizetype end = start + (first ? 75 : 74);
        while (end > start && (static_cast<unsigned char>(line.at(end)) & 0xC0) == 0x80)
            --end;
        if (!first)
            out += ' ';
        out += line.mid(start, end - start) + "\r\n";
        start = end;
        first = false;
    }
    if (!first)
        out += ' ';
    out += line.mid(start) + "\r\n";
}

// "Klaudie" → "Svátek má Klaudie", "Petr a Pavel" → "Svátek mají Petr a
// Pavel"; a holiday ("Nový rok", "Den vítězství") stays as it is.
QString summaryOf(const QString& names)
{
    const bool several = names.contains(QStringLiteral(" a ")) || names.contains(QLatin1Char(','));
    if (!several && names.contains(QLatin1Char(' ')))
        return names;
    return (several ? QStringLiteral("Svátek mají ") : QStringLiteral("Svátek má ")) + names;
}

void appendEvent(QByteArray& out, const QString& uid, const QDate& day, const QString& summary, const QByteArray& stamp)
{
    appendLine(out, "BEGIN:VEVENT");
    appendLine(out, "UID:" + uid.toUtf8());
    appendLine(out, "DTSTAMP:" + stamp);
    appendLine(out, "DTSTART;VALUE=DATE:" + day.toString(QStringLiteral("yyyyMMdd")).toUtf8());
    appendLine(out, "DTEND;VALUE=DATE:" + day.addDays(1).toString(QStringLiteral("yyyyMMdd")).toUtf8());
    appendLine(out, "RRULE:FREQ=YEARLY");
    appendLine(out, "SUMMARY:" + escaped(summary));
    appendLine(out, "TRANSP:TRANSPARENT");
    appendLine(out, "END:VEVENT");
}

} // namespace

QByteArray nameDayCalendar(store::Database& database, const QDateTime& stamp)
{
    const QByteArray stampText = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toUtf8();
    QByteArray out;
    appendLine(out, "BEGIN:VCALENDAR");
    appendLine(out, "VERSION:2.0");
    appendLine(out, "PRODID:-//Pelmir a telefony//Jmeniny a vyroci//CS");
    appendLine(out, "CALSCALE:GREGORIAN");
    appendLine(out, "X-WR-CALNAME:" + escaped(QStringLiteral("Jmeniny a výročí")));
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
            appendEvent(out, QStringLiteral("svatek-%1@pelmir").arg(tag), day, summaryOf(names), stampText);
        if (!anniversary.isEmpty())
            appendEvent(out, QStringLiteral("vyroci-%1@pelmir").arg(tag), day, anniversary, stampText);
    }
    appendLine(out, "END:VCALENDAR");
    return out;
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
