#include "connection/Uptime.h"

#include <QElapsedTimer>
#include <ctime>

namespace zarivok {

QString FormatUptime(quint64 milliseconds) {
    quint64 seconds = milliseconds / 1000;
    const quint64 days = seconds / 86400;
    seconds -= days * 86400;
    const quint64 hours = seconds / 3600;
    seconds -= hours * 3600;
    const quint64 minutes = seconds / 60;
    seconds %= 60;
    return QStringLiteral("%1d %2h %3m %4s ").arg(days).arg(hours).arg(minutes).arg(seconds);
}

quint64 SystemUptimeMs() {
#ifdef CLOCK_BOOTTIME
    timespec now{};
    if (clock_gettime(CLOCK_BOOTTIME, &now) == 0) {
        return static_cast<quint64>(now.tv_sec) * 1000 +
               static_cast<quint64>(now.tv_nsec) / 1000000;
    }
#endif
    // The monotonic clock counts from boot too, without the time spent suspended.
    QElapsedTimer monotonic;
    monotonic.start();
    return static_cast<quint64>(monotonic.msecsSinceReference());
}

}  // namespace zarivok
