#include <gtest/gtest.h>

#include <QSignalSpy>
#include <csignal>

#include "terminal/SignalWatcher.h"

namespace zarivok {
namespace {

constexpr int kWaitMs = 10000;

volatile std::sig_atomic_t lastFallbackSignal = 0;

extern "C" void RecordFallbackSignal(int signalNumber) { lastFallbackSignal = signalNumber; }

// Puts a harmless handler in place before each test, so a signal the watcher misses shows as a
// failed expectation instead of ending the test program, and restores the original after.
class SignalWatcherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        struct sigaction fallback {};
        fallback.sa_handler = RecordFallbackSignal;
        sigemptyset(&fallback.sa_mask);
        ASSERT_EQ(::sigaction(SIGINT, &fallback, &originalInt_), 0);
        ASSERT_EQ(::sigaction(SIGTERM, &fallback, &originalTerm_), 0);
        lastFallbackSignal = 0;
    }
    void TearDown() override {
        ::sigaction(SIGINT, &originalInt_, nullptr);
        ::sigaction(SIGTERM, &originalTerm_, nullptr);
    }

    // Raises the signal and waits for the watcher's Terminate; returns the number it carried.
    static int RaiseAndWait(SignalWatcher& watcher, int signalNumber) {
        QSignalSpy terminate(&watcher, &SignalWatcher::Terminate);
        std::raise(signalNumber);
        if (terminate.isEmpty() && !terminate.wait(kWaitMs)) return 0;
        return terminate.takeFirst().at(0).toInt();
    }

    struct sigaction originalInt_ {};
    struct sigaction originalTerm_ {};
};

TEST_F(SignalWatcherTest, DeliversSigintAndSigtermOnTheEventLoop) {
    SignalWatcher watcher;
    ASSERT_TRUE(watcher.IsActive());
    for (const int signalNumber : {SIGTERM, SIGINT, SIGTERM}) {
        SCOPED_TRACE(signalNumber);
        QSignalSpy terminate(&watcher, &SignalWatcher::Terminate);
        std::raise(signalNumber);
        // The handler only wrote to the pipe: the Qt signal waits for the event loop.
        EXPECT_TRUE(terminate.isEmpty());
        ASSERT_TRUE(terminate.wait(kWaitMs));
        ASSERT_EQ(terminate.size(), 1);
        EXPECT_EQ(terminate.at(0).at(0).toInt(), signalNumber);
    }
    EXPECT_EQ(lastFallbackSignal, 0);
}

TEST_F(SignalWatcherTest, DestructorRestoresThePreviousHandlers) {
    {
        SignalWatcher watcher;
        ASSERT_EQ(RaiseAndWait(watcher, SIGINT), SIGINT);
    }
    std::raise(SIGTERM);
    EXPECT_EQ(lastFallbackSignal, SIGTERM);
    std::raise(SIGINT);
    EXPECT_EQ(lastFallbackSignal, SIGINT);
}

TEST_F(SignalWatcherTest, SecondWatcherStaysIdleAndLeavesTheFirstWorking) {
    SignalWatcher first;
    {
        SignalWatcher second;
        EXPECT_FALSE(second.IsActive());
        QSignalSpy secondTerminate(&second, &SignalWatcher::Terminate);
        EXPECT_EQ(RaiseAndWait(first, SIGTERM), SIGTERM);
        EXPECT_TRUE(secondTerminate.isEmpty());
    }
    EXPECT_EQ(RaiseAndWait(first, SIGTERM), SIGTERM);
    EXPECT_EQ(lastFallbackSignal, 0);
}

}  // namespace
}  // namespace zarivok
