#include "terminal/SignalWatcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <QtGlobal>
#include <atomic>
#include <cerrno>
#include <cstring>

namespace zarivok {
namespace {

// The write end of the live watcher's pipe, -1 when there is none. Static because the signal
// handler can reach nothing else; lock-free, so reading it in the handler is safe.
std::atomic<int> liveWriteFd{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void HandleSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = liveWriteFd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signalNumber);
        // The pipe does not block: should it ever be full, enough signals are already waiting.
        [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    }
    errno = savedErrno;
}

bool SetFlags(int fd, int descriptorFlags, int statusFlags) {
    return ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | descriptorFlags) != -1 &&
           ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | statusFlags) != -1;
}

}  // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    if (liveWriteFd.load() >= 0) {
        qWarning("SignalWatcher: another watcher is active; this one stays idle");
        return;
    }
    int fds[2];
    if (::pipe(fds) != 0) {
        qWarning("SignalWatcher: no pipe for signals: %s", std::strerror(errno));
        return;
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
    if (!SetFlags(readFd_, FD_CLOEXEC, O_NONBLOCK) || !SetFlags(writeFd_, FD_CLOEXEC, O_NONBLOCK)) {
        qWarning("SignalWatcher: cannot set up the signal pipe: %s", std::strerror(errno));
        return;
    }
    notifier_ = new QSocketNotifier(static_cast<qintptr>(readFd_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalWatcher::ReadSignals);
    liveWriteFd.store(writeFd_);

    struct sigaction action {};
    action.sa_handler = HandleSignal;
    sigemptyset(&action.sa_mask);
    // Other system calls of the program go on undisturbed when a signal arrives.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, &previousInt_);
    ::sigaction(SIGTERM, &action, &previousTerm_);
}

SignalWatcher::~SignalWatcher() {
    if (notifier_) {
        // The old handlers first, so no signal reaches a pipe that is about to close.
        ::sigaction(SIGINT, &previousInt_, nullptr);
        ::sigaction(SIGTERM, &previousTerm_, nullptr);
        liveWriteFd.store(-1);
    }
    if (readFd_ >= 0) ::close(readFd_);
    if (writeFd_ >= 0) ::close(writeFd_);
}

void SignalWatcher::ReadSignals() {
    const QPointer<SignalWatcher> alive(this);
    unsigned char numbers[64];
    for (;;) {
        const ssize_t count = ::read(readFd_, numbers, sizeof numbers);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return;
        for (ssize_t i = 0; i < count; ++i) {
            emit Terminate(numbers[i]);
            // Ending the program is the usual answer, and it may take the watcher with it.
            if (!alive) return;
        }
    }
}

}  // namespace zarivok
