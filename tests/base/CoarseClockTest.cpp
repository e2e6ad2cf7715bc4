#include <gtest/gtest.h>

#include <QDateTime>

#include "base/CoarseClock.h"

namespace zarivok {
namespace {

// The coarse clock may lag the precise one by a tick of the kernel's timer, never more, and
// never runs ahead of it: a stamp or a log date taken from it is the precise one's, a few
// milliseconds late.
TEST(CoarseClockTest, ReadsThePreciseClockAFewMillisecondsLateAtMost) {
    for (int i = 0; i < 1000; ++i) {
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        const qint64 coarse = CoarseEpochMSecs();
        const qint64 after = QDateTime::currentMSecsSinceEpoch();
        ASSERT_LE(coarse, after);
        ASSERT_GE(coarse, before - 50) << "more than 50 ms behind";
    }
}

}  // namespace
}  // namespace zarivok
