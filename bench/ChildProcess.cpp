#include "ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cstring>

#include "support/ChatGateway.h"

extern char** environ;

namespace zarivok::bench {

ChildProcess::ChildProcess(const std::vector<std::string>& command,
                           const std::vector<std::string>& env, int outFd, int errFd, int extraFd) {
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string key = entry.substr(0, entry.find('='));
        const bool replaced = std::any_of(env.begin(), env.end(), [&](const std::string& over) {
            return over.substr(0, over.find('=')) == key;
        });
        if (!replaced) environment.push_back(entry);
    }
    environment.insert(environment.end(), env.begin(), env.end());
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = command;
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    if (errFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    if (extraFd >= 0) posix_spawn_file_actions_adddup2(&actions, extraFd, 3);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess() { End(); }

int ChildProcess::Wait(int timeoutMs) {
    if (pid_ <= 0) return -1;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) != pid_) {
        if (Clock::now() >= deadline) return -1;
        // Events run meanwhile: the gateway the program talks to lives on this thread's loop.
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void ChildProcess::End() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    const pid_t pid = pid_;
    if (Wait(5000) == -1 && pid_ > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    pid_ = -1;
}

double ChildProcess::ResidentMiB() const {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid_));
    if (pid_ <= 0 || !status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

double ChildProcess::SettledResidentMiB() const {
    double last = -1;
    int same = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(3);
    while (same < 10 && Clock::now() < deadline) {
        const auto next = Clock::now() + std::chrono::milliseconds(10);
        ChatGateway::WaitUntil([&] { return Clock::now() >= next; }, 50);
        const double now = ResidentMiB();
        same = now == last ? same + 1 : 0;
        last = now;
    }
    return last;
}

OutputWatcher::OutputWatcher(int fd, std::vector<QByteArray> needles)
    : fd_(fd),
      needles_(std::move(needles)),
      seen_(needles_.size()),
      when_(needles_.size()),
      thread_([this] { Run(); }) {}

OutputWatcher::~OutputWatcher() {
    thread_.join();
    ::close(fd_);
}

void OutputWatcher::Run() {
    qsizetype longest = 0;
    for (const QByteArray& needle : needles_) longest = std::max(longest, needle.size());
    QByteArray window;
    static constexpr std::size_t kChunk = 256 * 1024;
    std::vector<char> chunk(kChunk);
    for (;;) {
        const ssize_t count = ::read(fd_, chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return;
        const auto now = Clock::now();
        // The tail of the previous read goes in front, so a needle cut by a read is still found.
        window.append(chunk.data(), count);
        for (std::size_t i = 0; i < needles_.size(); ++i) {
            if (seen_[i].load() || !window.contains(needles_[i])) continue;
            when_[i] = now;
            seen_[i].store(true);
        }
        if (window.size() > longest) window.remove(0, window.size() - longest);
    }
}

Pipe::Pipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) == 0) {
        read = fds[0];
        write = fds[1];
    }
}

Pipe::~Pipe() {
    CloseWrite();
    // The read end belongs to whoever reads it (an OutputWatcher closes it).
}

void Pipe::CloseWrite() {
    if (write >= 0) ::close(write);
    write = -1;
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

}  // namespace zarivok::bench
