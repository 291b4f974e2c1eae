#include "organiser/CzechCalendar.h"

#include "store/CzechText.h"

#include <array>

namespace organiser {

namespace {

const std::array<QString, 12>& months()
{
    static const std::array<QString, 12> names = {
        QStringLiteral("leden"),    QStringLiteral("únor"),     QStringLiteral("březen"),
        QStringLiteral("duben"),    QStringLiteral("květen"),   QStringLiteral("červen"),
        QStringLiteral("červenec"), QStringLiteral("srpen"),    QStringLiteral("září"),
        QStringLiteral("říjen"),    QStringLiteral("listopad"), QStringLiteral("prosinec"),
    };
    return names;
}

const std::array<QString, 7>& weekdays()
{
    static const std::array<QString, 7> names = {
        QStringLiteral("pondělí"), QStringLiteral("úterý"),  QStringLiteral("středa"),
        QStringLiteral("čtvrtek"), QStringLiteral("pátek"),  QStringLiteral("sobota"),
        QStringLiteral("neděle"),
    };
    return names;
}

const std::array<QString, 7>& shortWeekdays()
{
    static const std::array<QString, 7> names = {
        QStringLiteral("po"), QStringLiteral("út"), QStringLiteral("st"), QStringLiteral("čt"),
        QStringLiteral("pá"), QStringLiteral("so"), QStringLiteral("ne"),
    };
    return names;
}

} // namespace

QString monthName(int month)
{
    return month >= 1 && month <= 12 ? months()[static_cast<std::size_t>(month - 1)] : QString();
}

QString weekdayName(int dayOfWeek)
{
    return dayOfWeek >= 1 && dayOfWeek <= 7 ? weekdays()[static_cast<std::size_t>(dayOfWeek - 1)]
                                            : QString();
}

QString shortWeekdayName(int dayOfWeek)
{
    return dayOfWeek >= 1 && dayOfWeek <= 7
               ? shortWeekdays()[static_cast<std::size_t>(dayOfWeek - 1)]
               : QString();
}

QString nameDayKey(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QString::number(date.day()) + QStringLiteral(". ") + monthName(date.month());
}

QString nameDayKeyUpper(const QDate& date)
{
    return QString::fromStdString(store::czechUpper(nameDayKey(date).toStdString()));
}

QString monthTitle(const QDate& date)
{
    if (!date.isValid())
        return {};
    return monthName(date.month()) + QLatin1Char(' ') + QString::number(date.year());
}

QString longDateText(const QDate& date)
{
    if (!date.isValid())
        return {};
    return weekdayName(date.dayOfWeek()) + QLatin1Char(' ') + QString::number(date.day()) +
           QLatin1Char('.') + monthName(date.month()) + QLatin1Char(' ') +
           QString::number(date.year());
}

QString shortDateText(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1.%2.%3").arg(date.day()).arg(date.month()).arg(date.year());
}

QDate shiftMonth(const QDate& date, int months)
{
    // QDate::addMonths keeps the day number and clamps it to the month's end.
    return date.addMonths(months);
}

} // namespace organiser
