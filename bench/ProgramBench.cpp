// The real program as a user runs it, against the tests' chat gateway on 127.0.0.1: the headless
// program end to end under a flood of talk, start-up to the handshake and to the window, and
// resident memory idle and loaded. Each figure beside a bare program doing the least the same
// measurement needs, started and measured the same way (zarivok_bench_bare). Prints its rows of
// scripts/bench's table.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>

#include "BenchFixtures.h"
#include "BenchTable.h"
#include "ChildProcess.h"
#include "support/ChatGateway.h"

using namespace zarivok;
using namespace zarivok::bench;

namespace {

constexpr int kFloodLines = 200000;
constexpr int kLoadedUsers = 10000;
constexpr int kLoadedLines = 100000;
constexpr int kWaitMs = 30000;
const char kMainTitle[] = "ZaRiVoK 3.0b1";
const char kChannelTitle[] = "ZaRiVoK v3.0b1 - User bot1 in channel Lobby";

// A wait that ran out: said on stderr (scripts/bench shows it), and the run gives no figure.
std::nullopt_t Failed(const char* what) {
    std::fprintf(stderr, "program bench: timed out waiting for %s\n", what);
    return std::nullopt;
}

// Talk from a speaker who is not listed; the last line carries the marker the watcher waits for.
QByteArray Flood(int lines, const QByteArray& marker) {
    QByteArray bytes;
    bytes.reserve(lines * 64);
    for (int i = 0; i < lines - 1; ++i) {
        const char* text = kChannelTalk[i % kChannelTalkCount];
        bytes += ChatGateway::WireLine(ChatGateway::TalkLine("Stranger", "0010", text));
    }
    return bytes + ChatGateway::WireLine(ChatGateway::TalkLine("Stranger", "0010", marker));
}

class Profile {
  public:
    explicit Profile(quint16 port) {
        Write(
            "Config.ini",
            "[Login]\r\nUser=bot1\r\nPass=botpass\r\nServer=127.0.0.1:" + QByteArray::number(port) +
                "\r\nHome=Lobby\r\n\r\n[Options]\r\nTrigger=!\r\nReconnect=10000\r\n"
                "IdleMsg=still here\r\nEnable AutoClear=0\r\nAutoClear At Line=500\r\n"
                "Enable Notifications=1\r\n");
        Write("Users.txt", "Commander\r\nRaynor\r\nKerrigan\r\n");
    }
    std::string Path() const { return dir_.path().toStdString(); }
    QByteArray Read(const char* name) const {
        QFile file(dir_.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Whether the day log (any date) has shown needle yet; reads only what is new.
    bool LogHas(const QByteArray& needle) {
        const QDir logs(dir_.filePath(QStringLiteral("logs")));
        for (const QString& name : logs.entryList({"*.log"}, QDir::Files, QDir::Name)) {
            QFile file(logs.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) continue;
            qint64& offset = offsets_[name];
            file.seek(std::max<qint64>(0, offset - needle.size()));
            const QByteArray tail = file.readAll();
            offset = file.pos();
            if (tail.contains(needle)) return true;
        }
        return false;
    }

  private:
    void Write(const char* name, const QByteArray& bytes) {
        QFile file(dir_.filePath(QString::fromLatin1(name)));
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }
    QTemporaryDir dir_;
    std::map<QString, qint64> offsets_;
};

std::vector<double> Repeat(const std::function<std::optional<double>()>& measure,
                           int runs = Runs()) {
    std::vector<double> values;
    for (int run = 0; run < runs; ++run) {
        if (const auto value = measure()) values.push_back(*value);
    }
    return values;
}

// Every run must have given a figure: a run that timed out leaves the figure out.
double MedianOrZero(const std::vector<double>& values, int runs = Runs()) {
    return values.size() == static_cast<std::size_t>(runs) ? Median(values) : 0;
}

// The loaded memory figures take seconds each and vary little: at most three runs.
int LoadedRuns() { return std::min(Runs(), 3); }

// The headless program from connect to the last of kFloodLines talk lines on its stdout (a pipe
// read here); also its resident memory once logged in and idle.
struct HeadlessFlood {
    double ms = 0;
    double idleMiB = 0;
};

std::optional<HeadlessFlood> HeadlessRun(int run) {
    ChatGateway gateway;
    Profile profile(gateway.Port());
    const QByteArray marker = "end of the flood " + QByteArray::number(run);
    // The watcher goes last: its thread reads until the program has ended.
    Pipe out;
    OutputWatcher watcher(out.read, {"Joined Channel: Lobby", marker});
    ChildProcess program({ZARIVOK_BINARY, "--headless", "--profile", profile.Path()}, {},
                         out.write);
    out.CloseWrite();
    if (!ChatGateway::WaitUntil([&] { return watcher.Seen(0); }, kWaitMs)) {
        return Failed("the headless program in the channel");
    }
    HeadlessFlood result;
    result.idleMiB = program.SettledResidentMiB();
    const QByteArray flood = Flood(kFloodLines, marker);
    const auto start = Clock::now();
    gateway.Send(flood);
    if (!ChatGateway::WaitUntil([&] { return watcher.Seen(1); }, kWaitMs)) {
        return Failed("the last line of the flood on the headless program's stdout");
    }
    result.ms = Milliseconds(watcher.When(1) - start);
    return result;
}

// A browser's live stream as the web console sends it: a blocking socket that asks for it with
// the token and is read on a thread of its own, as fast as a browser's network stack reads.
int OpenStream(quint16 port, const QByteArray& token) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) ::close(fd);
        return -1;
    }
    const QByteArray request =
        "GET /events HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
        "\r\nAuthorization: Bearer " + token + "\r\n\r\n";
    if (::write(fd, request.constData(), request.size()) != request.size()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The headless program with its web console and browsers streams open, from the start of the
// flood to the last line on stdout and in every stream.
std::optional<double> WebRun(int run, int browsers) {
    ChatGateway gateway;
    Profile profile(gateway.Port());
    const QByteArray marker = "end of the flood " + QByteArray::number(run);
    const quint16 port = ChatGateway::UnusedPort();
    std::vector<std::unique_ptr<OutputWatcher>> streams;
    Pipe out;
    OutputWatcher watcher(out.read, {"Joined Channel: Lobby", marker});
    ChildProcess program(
        {ZARIVOK_BINARY, "--headless", "--profile", profile.Path(), "--web", std::to_string(port)},
        {}, out.write);
    out.CloseWrite();
    if (!ChatGateway::WaitUntil([&] { return watcher.Seen(0); }, kWaitMs)) {
        return Failed("the headless program with its web console in the channel");
    }
    const QByteArray token = profile.Read("web-token").trimmed();
    for (int i = 0; i < browsers; ++i) {
        const int fd = OpenStream(port, token);
        if (fd < 0) return Failed("a stream of the web console");
        streams.push_back(
            std::make_unique<OutputWatcher>(fd, std::vector<QByteArray>{"event: state", marker}));
    }
    for (const auto& stream : streams) {
        if (!ChatGateway::WaitUntil([&] { return stream->Seen(0); }, kWaitMs)) {
            return Failed("the state event of a web console stream");
        }
    }
    const QByteArray flood = Flood(kFloodLines, marker);
    const auto start = Clock::now();
    gateway.Send(flood);
    if (!ChatGateway::WaitUntil([&] { return watcher.Seen(1); }, kWaitMs)) {
        return Failed("the last line of the flood with the web console on");
    }
    auto last = watcher.When(1);
    for (const auto& stream : streams) {
        if (!ChatGateway::WaitUntil([&] { return stream->Seen(1); }, kWaitMs)) {
            return Failed("the last line of the flood in a web console stream");
        }
        last = std::max(last, stream->When(1));
    }
    // The program goes first, which ends the streams the watchers read.
    program.End();
    return Milliseconds(last - start);
}

std::optional<double> CopyRun(int run) {
    ChatGateway gateway;
    gateway.SetLoginScript(false);
    const QByteArray marker = "end of the flood " + QByteArray::number(run);
    Pipe out;
    OutputWatcher watcher(out.read, {marker});
    ChildProcess copy({ZARIVOK_BARE, "copy", std::to_string(gateway.Port())}, {}, out.write);
    out.CloseWrite();
    if (!gateway.WaitForConnections(1, kWaitMs)) return Failed("the copy loop to connect");
    const QByteArray flood = Flood(kFloodLines, marker);
    const auto start = Clock::now();
    gateway.Send(flood);
    if (!ChatGateway::WaitUntil([&] { return watcher.Seen(0); }, kWaitMs)) {
        return Failed("the last line of the flood from the copy loop");
    }
    const double ms = Milliseconds(watcher.When(0) - start);
    gateway.CloseClient();
    return ms;
}

// Start to the handshake's last line on the wire, and the program's memory once connected.
std::optional<double> HandshakeRun(const std::vector<std::string>& command, ChatGateway& gateway,
                                   double* idleMiB = nullptr) {
    const auto start = Clock::now();
    ChildProcess program(command);
    if (!gateway.WaitForReceived("/join Lobby\r\n", kWaitMs)) return Failed("the handshake");
    const double ms = Milliseconds(Clock::now() - start);
    if (idleMiB) *idleMiB = program.SettledResidentMiB();
    return ms;
}

// A virtual display for the window's figures; none when Xvfb is missing.
class VirtualDisplay {
  public:
    VirtualDisplay() {
        Pipe number;
        server_.emplace(std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0",
                                                 "1024x768x24", "-nolisten", "tcp"},
                        std::vector<std::string>{}, -1, -1, number.write);
        number.CloseWrite();
        QByteArray text;
        ChatGateway::WaitUntil(
            [&] {
                char buffer[16];
                const ssize_t count = ::read(number.read, buffer, sizeof buffer);
                if (count > 0) text.append(buffer, count);
                return text.endsWith('\n') || count == 0;
            },
            10000);
        ::close(number.read);
        if (text.trimmed().isEmpty()) return;
        display_ = "DISPLAY=:" + text.trimmed().toStdString();
    }
    bool Ready() const { return !display_.empty(); }
    std::vector<std::string> Env() const { return {display_, "QT_QPA_PLATFORM=xcb"}; }

  private:
    std::optional<ChildProcess> server_;
    std::string display_;
};

std::optional<double> WindowRun(const VirtualDisplay& display, std::vector<std::string> command,
                                const char* title, double* idleMiB = nullptr) {
    ChildProcess wait({ZARIVOK_XDRIVE, "wait", title}, display.Env());
    const auto start = Clock::now();
    ChildProcess program(command, display.Env());
    if (wait.Wait(kWaitMs) != 0) return Failed(title);
    const double ms = Milliseconds(Clock::now() - start);
    if (idleMiB) *idleMiB = program.SettledResidentMiB();
    return ms;
}

// Memory with a roster of kLoadedUsers and kLoadedLines pane lines: the headless program.
std::optional<double> HeadlessLoadedRun(int run) {
    ChatGateway gateway;
    for (int i = 0; i < kLoadedUsers; ++i)
        gateway.AddChannelUser("Player" + QByteArray::number(i), "0010", "STAR");
    Profile profile(gateway.Port());
    const QByteArray marker = "end of the load " + QByteArray::number(run);
    Pipe out;
    OutputWatcher watcher(out.read, {marker});
    ChildProcess program({ZARIVOK_BINARY, "--headless", "--profile", profile.Path()}, {},
                         out.write);
    out.CloseWrite();
    // The gateway answers the join with the whole channel at once; what it sends after that
    // arrives after the users, so the flood's last line means all of them have been handled.
    if (!gateway.WaitForReceived("/join Lobby\r\n", kWaitMs)) return Failed("the handshake");
    gateway.Send(Flood(kLoadedLines, marker));
    if (!ChatGateway::WaitUntil([&] { return watcher.Seen(0); }, kWaitMs)) {
        return Failed("the last of 100,000 lines on the headless program's stdout");
    }
    return program.SettledResidentMiB();
}

// The same for the desktop program, connected from its menu as the operator does.
std::optional<double> DesktopLoadedRun(const VirtualDisplay& display, int run) {
    ChatGateway gateway;
    for (int i = 0; i < kLoadedUsers; ++i)
        gateway.AddChannelUser("Player" + QByteArray::number(i), "0010", "STAR");
    Profile profile(gateway.Port());
    const QByteArray marker = "end of the load " + QByteArray::number(run);
    ChildProcess program({ZARIVOK_BINARY, "--profile", profile.Path()}, display.Env());
    ChildProcess connect({ZARIVOK_XDRIVE, "keys", kMainTitle, "alt+b", "c"}, display.Env());
    if (connect.Wait(kWaitMs) != 0) return Failed("the keys of Bot > Connect");
    ChildProcess entered({ZARIVOK_XDRIVE, "wait", kChannelTitle}, display.Env());
    if (entered.Wait(kWaitMs) != 0) return Failed(kChannelTitle);
    gateway.Send(Flood(kLoadedLines, marker));
    // The log is written at the end of each arrival: the marker there means everything before it
    // on the connection, the roster included, has been handled.
    if (!ChatGateway::WaitUntil([&] { return profile.LogHas(marker); }, 5 * kWaitMs)) {
        return Failed("the last of 100,000 lines in the desktop program's day log");
    }
    return program.SettledResidentMiB();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int run = 0;

    // End to end, and the headless program's idle memory from the same runs.
    std::vector<double> floods, idle;
    for (int i = 0; i < Runs(); ++i) {
        if (const auto result = HeadlessRun(run++)) {
            floods.push_back(result->ms);
            idle.push_back(result->idleMiB);
        }
    }
    const double flood = MedianOrZero(floods);
    const double copy = MedianOrZero(Repeat([&] { return CopyRun(run++); }));
    PrintRow({"Headless end to end: 200,000 talk lines to the last printed", flood, "ms",
              "socket-to-stdout copy loop", copy, "<= 4x",
              Verdict(flood > 0 && flood <= 4 * copy)});

    // The same flood with three browsers watching on the web console, against none.
    const double watched = MedianOrZero(Repeat([&] { return WebRun(run++, 3); }));
    PrintRow({"Headless end to end, 200,000 talk lines with 3 web console streams", watched, "ms",
              "the same flood with no browser", flood, "<= 2x",
              Verdict(watched > 0 && flood > 0 && watched <= 2 * flood)});

    // Start-up to the handshake on the wire.
    double bareIdle = 0;
    std::vector<double> bareIdles;
    const double handshake = MedianOrZero(Repeat([&] {
        ChatGateway gateway;
        Profile profile(gateway.Port());
        return HandshakeRun({ZARIVOK_BINARY, "--headless", "--profile", profile.Path()}, gateway);
    }));
    const double bareHandshake = MedianOrZero(Repeat([&] {
        ChatGateway gateway;
        const auto ms = HandshakeRun({ZARIVOK_BARE, "core", std::to_string(gateway.Port())},
                                     gateway, &bareIdle);
        bareIdles.push_back(bareIdle);
        return ms;
    }));
    PrintRow({"Headless start to handshake on the wire", handshake, "ms",
              "bare Qt client connecting", bareHandshake, "< 20 ms",
              Verdict(handshake > 0 && handshake < 20)});
    const double idleHeadless = MedianOrZero(idle);
    PrintRow({"Headless resident memory, logged in and idle", idleHeadless, "MiB",
              "bare Qt client, connected", Median(bareIdles), "< 16 MiB",
              Verdict(idleHeadless > 0 && idleHeadless < 16)});
    const double loadedHeadless =
        MedianOrZero(Repeat([&] { return HeadlessLoadedRun(run++); }, LoadedRuns()), LoadedRuns());
    PrintRow({"Headless resident memory, 10,000 users and 100,000 lines", loadedHeadless, "MiB",
              "the same, idle", idleHeadless, "", ""});

    // The window.
    VirtualDisplay display;
    if (!display.Ready()) {
        std::fprintf(stderr,
                     "program bench: no virtual display (Xvfb); the window is not measured\n");
        return 0;
    }
    std::vector<double> desktopIdles, bareWindowIdles;
    const double shown = MedianOrZero(Repeat([&] {
        double mib = 0;
        Profile profile(1);
        const auto ms =
            WindowRun(display, {ZARIVOK_BINARY, "--profile", profile.Path()}, kMainTitle, &mib);
        desktopIdles.push_back(mib);
        return ms;
    }));
    const double bareShown = MedianOrZero(Repeat([&] {
        double mib = 0;
        const auto ms = WindowRun(display, {ZARIVOK_BARE_WINDOW}, "Bare window", &mib);
        bareWindowIdles.push_back(mib);
        return ms;
    }));
    PrintRow({"Desktop start to main window shown (Xvfb)", shown, "ms", "bare Qt Widgets window",
              bareShown, "< 300 ms", Verdict(shown > 0 && shown < 300)});
    const double idleDesktop = Median(desktopIdles);
    PrintRow({"Desktop resident memory, window shown and idle", idleDesktop, "MiB",
              "bare Qt Widgets window", Median(bareWindowIdles), "< 60 MiB",
              Verdict(idleDesktop > 0 && idleDesktop < 60)});
    const double loadedDesktop = MedianOrZero(
        Repeat([&] { return DesktopLoadedRun(display, run++); }, LoadedRuns()), LoadedRuns());
    PrintRow({"Desktop resident memory, 10,000 users and 100,000 pane lines", loadedDesktop, "MiB",
              "the same, idle", idleDesktop, "", ""});
    return 0;
}
