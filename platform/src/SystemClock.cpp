#include "platform/RealServices.h"

#include <QThread>

#include <algorithm>

namespace platform {

QDate SystemClock::today() const
{
    return QDate::currentDate();
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

std::uint32_t SystemClock::tickCount() const
{
    QElapsedTimer timer;
    timer.start();
    // The reference of a started timer is the monotonic clock's reading; the
    // cut to 32 bits makes it wrap like the tick counter the waits were written for.
    return static_cast<std::uint32_t>(timer.msecsSinceReference());
}

void SystemClock::waitHint(std::uint32_t remainingMs)
{
    if (remainingMs > 0)
        QThread::usleep(std::min<unsigned long>(remainingMs, 1) * 1000);
}

} // namespace platform
