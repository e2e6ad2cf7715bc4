// zarivok_soak_gateway LINES DROPS: the tests' chat gateway as the other end of a long run of the
// real program (scripts/soak). It logs the bot in, sends it LINES lines in all, in equal parts
// on DROPS connections, and ends each connection in one of the ways a real server does (a close,
// a close in the middle of a line, a reset, a close followed by refused connections), so the bot
// reconnects DROPS times.
//
// On standard output it says "port P" first. Twice it makes sure the bot has handled everything
// so far (a listed user's command comes back), says "checkpoint LINES DROPS" and waits for a line
// on standard input before it goes on: after the first tenth of the drops and at the end. Then it
// says "done TALK IDLE", the number of talk lines it sent and of anti-idle lines it received, and
// serves until its standard input ends.
// Anything wrong ends it with exit code 1.
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "support/ChatGateway.h"

namespace {

using zarivok::ChatGateway;

constexpr int kWaitMs = 60000;
// A little longer than the reconnect delay the soak's Config.ini sets: the bot is refused a few
// times before the gateway listens again.
constexpr int kRefusedMs = 60;
constexpr char kCommander[] = "soaker";

[[noreturn]] void Fail(const char* what, int cycle) {
    std::fprintf(stderr, "soak gateway: %s (connection %d)\n", what, cycle);
    std::exit(1);
}

bool WaitForGo() {
    char line[64];
    return std::fgets(line, sizeof line, stdin) != nullptr;
}

// Line n of the stream: mostly talk, with what else a busy channel sends, including what a
// server should not send but may (a line cut at 255 bytes, bytes that are not UTF-8, NUL).
QByteArray SoakLine(qint64 n) {
    const QByteArray number = QByteArray::number(n);
    const QByteArray user = "user" + QByteArray::number(n % 40);
    switch (n % 16) {
        case 1:
            return ChatGateway::JoinLine(user, "0010", n % 3 ? "CHAT" : "W2BN");
        case 3:
            return ChatGateway::LeaveLine(user, "0010");
        case 5:
            return ChatGateway::EmoteLine(user, "0010", "waves " + number);
        case 7:
            return ChatGateway::WhisperLine(user, "0010", "psst " + number);
        case 9:
            return ChatGateway::InfoLine("info " + number);
        case 11:
            return ChatGateway::TalkLine(user, "0010",
                                         "soak " + number + ' ' + QByteArray(300, 'z'));
        case 13:
            return ChatGateway::TalkLine(user, "0010",
                                         "soak " + number + " \xff\xfe\xc3 nul " + '\0' + " end");
        case 15:
            return ChatGateway::ErrorLine("error " + number);
        default:
            return ChatGateway::TalkLine(user, "0010", "soak " + number + " hello there");
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: zarivok_soak_gateway LINES DROPS\n");
        return 2;
    }
    const qint64 lines = std::atoll(argv[1]);
    const int drops = std::atoi(argv[2]);
    if (lines <= 0 || drops <= 0) return 2;
    const int firstCheckpoint = std::max(1, drops / 10);

    ChatGateway gateway;
    gateway.AddChannelUser("user1", "0010", "CHAT");
    gateway.AddChannelUser("user2", "0002", "SEXP");
    std::printf("port %u\n", static_cast<unsigned>(gateway.Port()));
    std::fflush(stdout);

    qint64 sent = 0;
    qint64 talk = 0;
    int checkpoints = 0;
    const auto checkpoint = [&](int cycle) {
        const QByteArray mark = "checkpoint " + QByteArray::number(++checkpoints);
        gateway.SendLine(ChatGateway::TalkLine(kCommander, "0010", "!say " + mark));
        if (!gateway.WaitForReceived(mark + "\r\n", kWaitMs)) {
            Fail("the bot did not answer the checkpoint", cycle);
        }
        std::printf("checkpoint %lld %d\n", static_cast<long long>(sent), cycle);
        std::fflush(stdout);
        if (!WaitForGo()) std::exit(0);
    };

    // Cycle n serves the bot's (n+1)th login; it may have abandoned attempts on the way, so the
    // connection served is always the one accepted last.
    int accepted = 0;
    for (int cycle = 0; cycle <= drops; ++cycle) {
        const bool loggedIn = ChatGateway::WaitUntil(
            [&] {
                return gateway.ConnectionCount() > accepted &&
                       gateway.Received().contains("/join Lobby\r\n");
            },
            kWaitMs);
        if (!loggedIn) Fail("the bot did not log in", cycle);
        accepted = gateway.ConnectionCount();
        if (cycle == firstCheckpoint || cycle == drops) checkpoint(cycle);
        if (cycle == drops) break;

        const qint64 until = lines * (cycle + 1) / drops;
        QByteArray bytes;
        while (sent < until) {
            const QByteArray line = SoakLine(sent++);
            if (line.startsWith("1005 ")) ++talk;
            bytes += ChatGateway::WireLine(line);
        }
        switch (cycle % 4) {
            case 0:
                gateway.Send(bytes);
                gateway.CloseClient();
                break;
            case 1:
                gateway.Send(bytes + "1005 TALK user1 0010 \"unfinish");
                gateway.CloseClient();
                break;
            case 2:
                // Only once the bot has every byte: a reset destroys what is still on its way.
                gateway.Send(bytes);
                if (!gateway.WaitUntilAcknowledged(kWaitMs)) Fail("no acknowledgement", cycle);
                gateway.ResetClient();
                break;
            default:
                gateway.Send(bytes);
                gateway.CloseClient();
                gateway.StopListening();
                ChatGateway::WaitUntil([] { return false; }, kRefusedMs);
                if (!gateway.ResumeListening()) Fail("cannot listen again", cycle);
                break;
        }
    }
    int idle = 0;
    for (int connection = 0; connection < gateway.ConnectionCount(); ++connection) {
        idle += static_cast<int>(gateway.Received(connection).count("\r\n/me -- "));
    }
    std::printf("done %lld %d\n", static_cast<long long>(talk), idle);
    std::fflush(stdout);
    // Serves on (the bot stays connected) until the script has taken its figures.
    WaitForGo();
    return 0;
}
