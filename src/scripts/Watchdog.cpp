#include "scripts/Watchdog.h"

#include "scripts/ScriptRuntime.h"

namespace zarivok {

Watchdog::Watchdog() : thread_([this] { Watch(); }) {}

Watchdog::~Watchdog() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void Watchdog::Begin(ScriptRuntime& runtime) {
    {
        const std::lock_guard lock(mutex_);
        running_ = &runtime;
        deadline_ = std::chrono::steady_clock::now() + kLimit;
        interrupted_ = false;
    }
    wake_.notify_one();
}

bool Watchdog::End() {
    const std::lock_guard lock(mutex_);
    // Disarmed under the lock: once End returns, the runtime may go, and nothing here touches
    // it again.
    running_ = nullptr;
    return interrupted_;
}

void Watchdog::Watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (running_ == nullptr || interrupted_) {
            wake_.wait(lock);
            continue;
        }
        if (wake_.wait_until(lock, deadline_) == std::cv_status::timeout && running_ != nullptr &&
            !interrupted_ && std::chrono::steady_clock::now() >= deadline_) {
            running_->Interrupt();
            interrupted_ = true;
        }
    }
}

}  // namespace zarivok
