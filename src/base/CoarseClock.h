#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QtGlobal>
#include <ctime>

namespace zarivok {

// Milliseconds since the epoch, from the kernel's coarse real-time clock where there is one. It
// lags the precise clock by a few milliseconds at most, which neither a time stamp of whole
// seconds nor a log file's date can show, and it is read without touching the hardware counter:
// every received line reads the clock twice (its time stamp, its day log line), and on a virtual
// machine the precise read cost more than a tenth of the whole line. The pane's stamp and the
// day log read the same clock, so a line stamped before midnight is never logged after it.
inline qint64 CoarseEpochMSecs() {
#ifdef CLOCK_REALTIME_COARSE
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0) {
        return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    }
#endif
    return QDateTime::currentMSecsSinceEpoch();
}

// Monotonic milliseconds from the same coarse clock, for counting that is read on every line of
// talk (flood rules, how often a script may be said to fail): a few milliseconds behind at most,
// and a clock set back frees nobody.
inline qint64 CoarseMonotonicMs() {
#ifdef CLOCK_MONOTONIC_COARSE
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) == 0) {
        return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    }
#endif
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

}  // namespace zarivok
