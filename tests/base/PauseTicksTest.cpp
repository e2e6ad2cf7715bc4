#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QObject>
#include <limits>

#include "base/PauseTicks.h"

namespace zarivok {
namespace {

TEST(PauseTicksTest, RunsPendingEventsForAtLeastTheTicksAsked) {
    QObject context;
    bool ran = false;
    QMetaObject::invokeMethod(
        &context, [&] { ran = true; }, Qt::QueuedConnection);
    QElapsedTimer clock;
    clock.start();
    PauseTicks(1);
    EXPECT_TRUE(ran);
    EXPECT_GE(clock.nsecsElapsed(), 10'000'000) << "returned before its 10 ms";
}

TEST(PauseTicksTest, NoTicksRunNoEvents) {
    for (const qint64 ticks : {qint64{0}, qint64{-1}, std::numeric_limits<qint64>::min()}) {
        SCOPED_TRACE(ticks);
        QObject context;
        bool ran = false;
        QMetaObject::invokeMethod(
            &context, [&] { ran = true; }, Qt::QueuedConnection);
        PauseTicks(ticks);
        EXPECT_FALSE(ran);
        // The event was really pending: the next turn of the loop runs it.
        const QDeadlineTimer deadline(5000);
        while (!ran && !deadline.hasExpired()) QCoreApplication::processEvents();
        EXPECT_TRUE(ran);
    }
}

}  // namespace
}  // namespace zarivok
