#pragma once

#include <signal.h>

#include <QObject>

class QSocketNotifier;

namespace zarivok {

// Turns SIGINT and SIGTERM into the Terminate signal, delivered on the event loop where the
// program can shut down in order. The handler itself only writes the signal number into a pipe
// (the one thing it may safely do); the read end wakes the event loop.
//
// Only one SignalWatcher may exist at a time: a signal handler can reach nothing but static
// storage, so the pipe's write end is held there. A second one while the first lives installs
// nothing and never emits. The destructor puts back the handlers that were there before.
class SignalWatcher : public QObject {
    Q_OBJECT

  public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

    // False when the handlers could not be installed (another watcher exists, or no pipe).
    bool IsActive() const { return notifier_ != nullptr; }

  signals:
    void Terminate(int signalNumber);

  private:
    void ReadSignals();

    int readFd_ = -1;
    int writeFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

}  // namespace zarivok
