// A listed user's command and the bot's answer over 127.0.0.1: from the gateway writing the
// "!say" line to the gateway reading the reply, one at a time, through the real receive side,
// command interpreter, send queue and socket, with the bot on a thread of its own as it would be
// in a process of its own. The flood budget is lifted for the measurement (the send queue's
// clock moves a whole window per look), as the tests do. The baseline is a bare socket echo on
// its own thread, measured the same way. Prints its rows of scripts/bench's table.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <thread>

#include "BenchFixtures.h"
#include "BenchTable.h"
#include "ChildProcess.h"
#include "bot/Bot.h"
#include "bot/WindowTexts.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "connection/SendQueue.h"
#include "support/ChatGateway.h"
#include "terminal/TerminalPane.h"

using namespace zarivok;
using namespace zarivok::bench;

namespace {

constexpr int kRoundTrips = 10000;
constexpr int kWaitMs = 10000;

// Sends each line and waits for its answer, which ends with answerOf(i); returns the microseconds
// of each round trip.
std::vector<double> RoundTrips(ChatGateway& gateway, const std::function<QByteArray(int)>& line,
                               const std::function<QByteArray(int)>& answerOf) {
    std::vector<double> micros;
    micros.reserve(kRoundTrips);
    for (int i = 0; i < kRoundTrips; ++i) {
        const QByteArray answer = answerOf(i);
        const qsizetype before = gateway.Received().size();
        const QByteArray bytes = line(i);
        const auto start = Clock::now();
        gateway.Send(bytes);
        const bool answered = ChatGateway::WaitUntil(
            [&] {
                const QByteArray received = gateway.Received();
                return received.size() >= before + answer.size() && received.endsWith(answer);
            },
            kWaitMs);
        if (!answered) return {};
        micros.push_back(Milliseconds(Clock::now() - start) * 1000);
    }
    return micros;
}

QByteArray SayLine(int i) {
    return ChatGateway::WireLine(
        ChatGateway::TalkLine("Commander", "0010", "!say answer " + QByteArray::number(i)));
}

std::vector<double> BotRoundTrips() {
    ChatGateway gateway;
    QTemporaryDir profile;
    QFile config(profile.filePath(QStringLiteral("Config.ini")));
    if (config.open(QIODevice::WriteOnly)) {
        config.write("[Login]\r\nUser=bot1\r\nPass=botpass\r\nServer=127.0.0.1:" +
                     QByteArray::number(gateway.Port()) +
                     "\r\nHome=Lobby\r\n\r\n[Options]\r\nTrigger=!\r\nReconnect=10000\r\n"
                     "IdleMsg=still here\r\nEnable AutoClear=0\r\nAutoClear At Line=500\r\n"
                     "Enable Notifications=1\r\n");
    }
    config.close();
    QFile users(profile.filePath(QStringLiteral("Users.txt")));
    if (users.open(QIODevice::WriteOnly)) users.write("Raynor\r\nCommander\r\nKerrigan\r\n");
    users.close();

    std::atomic<QEventLoop*> loop{nullptr};
    QThread* thread = QThread::create([&] {
        std::FILE* sink = std::fopen("/dev/null", "w");
        {
            TerminalPane pane(sink);
            NullTexts texts;
            Bot bot(pane, texts, ProfilePaths::ForFolder(profile.path()));
            bot.SetQuitHandler([] {});
            bot.GetOutgoing().SetClock(
                [now = qint64(0)]() mutable { return now += SendQueue::kWindowMs; });
            bot.GetConnection().ConnectMenuClick();
            QEventLoop running;
            loop = &running;
            running.exec();
            bot.Shutdown();
        }
        std::fclose(sink);
    });
    thread->start();
    std::vector<double> micros;
    // The bot answers once it has logged in and taken in everything before the command.
    if (gateway.WaitForReceived("/join Lobby\r\n", kWaitMs)) {
        gateway.Send(SayLine(-1));
        if (gateway.WaitForReceived("answer -1\r\n", kWaitMs)) {
            micros = RoundTrips(gateway, SayLine,
                                [](int i) { return "answer " + QByteArray::number(i) + "\r\n"; });
        }
    }
    ChatGateway::WaitUntil([&] { return loop.load() != nullptr; }, kWaitMs);
    if (QEventLoop* running = loop.load()) {
        QMetaObject::invokeMethod(running, &QEventLoop::quit, Qt::QueuedConnection);
    }
    thread->wait();
    delete thread;
    return micros;
}

// The floor: a blocking socket on its own thread that sends back whatever it reads.
std::vector<double> EchoRoundTrips() {
    ChatGateway gateway;
    gateway.SetLoginScript(false);
    std::thread echo([port = gateway.Port()] {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
        char buffer[4096];
        for (ssize_t count; (count = ::read(fd, buffer, sizeof buffer)) > 0;) {
            if (::write(fd, buffer, static_cast<std::size_t>(count)) != count) break;
        }
        ::close(fd);
    });
    std::vector<double> micros;
    if (gateway.WaitForConnections(1, kWaitMs)) micros = RoundTrips(gateway, SayLine, SayLine);
    gateway.CloseClient();
    echo.join();
    return micros;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::vector<double> bot = BotRoundTrips();
    const std::vector<double> echo = EchoRoundTrips();
    const double median = Median(bot);
    const double echoMedian = Median(echo);
    PrintRow({"Command round trip (!say), median of 10,000", median, "us", "socket echo, median",
              echoMedian, "<= 2x", Verdict(median > 0 && median <= 2 * echoMedian)});
    PrintRow({"Command round trip (!say), 99th percentile", Percentile(bot, 99), "us",
              "socket echo, 99th percentile", Percentile(echo, 99), "", ""});
    return 0;
}
