#include "base/PauseTicks.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <limits>

namespace zarivok {

void PauseTicks(qint64 n) {
    if (n <= 0) return;
    constexpr qint64 kTickMs = 10;
    // A monotonic deadline: no tick counter to wrap, no clock change to stretch the wait. Waits
    // too long to count in nanoseconds are endless for any practical purpose.
    constexpr qint64 kLongestTicks = std::numeric_limits<qint64>::max() / 1'000'000 / kTickMs;
    const QDeadlineTimer deadline = n > kLongestTicks
                                        ? QDeadlineTimer(QDeadlineTimer::Forever)
                                        : QDeadlineTimer(n * kTickMs, Qt::PreciseTimer);
    // Sleeps in the event dispatcher instead of spinning: the timer wakes it at the deadline,
    // any other event earlier.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    while (!deadline.hasExpired()) {
        if (!deadline.isForever()) {
            const qint64 remaining = deadline.remainingTime();
            wake.start(
                static_cast<int>(std::min<qint64>(remaining, std::numeric_limits<int>::max())));
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

void LetEventsRun() { QCoreApplication::processEvents(); }

}  // namespace zarivok
