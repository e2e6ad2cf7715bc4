#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace zarivok::bench {

using Clock = std::chrono::steady_clock;

// A program started for a measurement: standard input from /dev/null, standard output and error
// to the given descriptors (or /dev/null), the environment with some variables replaced. It is
// ended (SIGTERM, then SIGKILL after a deadline) when the object goes.
class ChildProcess {
  public:
    ChildProcess(const std::vector<std::string>& command, const std::vector<std::string>& env = {},
                 int outFd = -1, int errFd = -1, int extraFd = -1);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    // Waits (up to timeoutMs, letting events run) for the program to end by itself; returns its
    // exit code, or -1.
    int Wait(int timeoutMs);
    void End();
    // Resident memory now, in MiB (VmRSS); 0 when it cannot be read.
    double ResidentMiB() const;
    // Resident memory once it has stopped changing (the same on 10 looks 10 ms apart, at most
    // 3 s), letting events run meanwhile.
    double SettledResidentMiB() const;

  private:
    pid_t pid_ = -1;
};

// Reads a descriptor to its end on a thread of its own and notes when each needle first shows.
class OutputWatcher {
  public:
    OutputWatcher(int fd, std::vector<QByteArray> needles);
    ~OutputWatcher();
    OutputWatcher(const OutputWatcher&) = delete;
    OutputWatcher& operator=(const OutputWatcher&) = delete;

    bool Seen(std::size_t needle) const { return seen_[needle].load(); }
    Clock::time_point When(std::size_t needle) const { return when_[needle]; }

  private:
    void Run();

    int fd_;
    std::vector<QByteArray> needles_;
    std::vector<std::atomic<bool>> seen_;
    std::vector<Clock::time_point> when_;
    std::thread thread_;
};

// A pipe whose ends are closed on exec; the child gets the write end by dup2.
struct Pipe {
    Pipe();
    ~Pipe();
    void CloseWrite();
    int read = -1;
    int write = -1;
};

double Milliseconds(Clock::duration duration);

}  // namespace zarivok::bench
