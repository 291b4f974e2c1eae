#include "calculators/WorldClock.h"

#include "store/DateText.h"

namespace calculators {

namespace {
constexpr int kSecondsPerDay = 24 * 60 * 60;
}

QTime cityTime(const QTime& local, const QString& direction, const QTime& difference)
{
    const int shift = difference.msecsSinceStartOfDay() / 1000;
    const int seconds = local.msecsSinceStartOfDay() / 1000 +
                        (direction == QStringLiteral("+") ? shift : -shift);
    const int wrapped = ((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    return QTime(0, 0).addSecs(wrapped);
}

std::optional<QTime> differenceFromText(const QString& text)
{
    const auto parsed = store::parseTime(text.toStdString());
    if (!parsed)
        return std::nullopt;
    return QTime(parsed->hour, parsed->minute, parsed->second);
}

QString clockText(const QTime& time)
{
    return time.toString(QStringLiteral("H:mm:ss"));
}

} // namespace calculators
