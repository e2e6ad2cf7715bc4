#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace zarivok {

class ScriptRuntime;

// Stops a script's code that runs too long. The code runs on the bot's own thread; the watchdog
// waits on a thread of its own and only ever interrupts the runtime that is running now, so a
// runaway loop is cut short while the bot's thread is stuck in it.
class Watchdog {
  public:
    static constexpr std::chrono::milliseconds kLimit{1000};

    Watchdog();
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Around one call into a script: Begin arms the watchdog for runtime, End disarms it and
    // tells whether it had to interrupt. Calls do not nest: a script's code never lets events
    // run.
    void Begin(ScriptRuntime& runtime);
    bool End();

  private:
    void Watch();

    std::mutex mutex_;
    std::condition_variable wake_;
    ScriptRuntime* running_ = nullptr;
    std::chrono::steady_clock::time_point deadline_;
    bool interrupted_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace zarivok
