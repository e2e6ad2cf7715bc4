#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <functional>

#include "connection/ChatSocket.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "connection/SendQueue.h"
#include "protocol/LineFramer.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"

namespace zarivok {
namespace {

using testing::BotHarness;

// Far below the default 30 s, so that a silent server outlives it while the test waits.
constexpr int kConnectTimeoutMs = 1000;
// Several reconnect delays (Config.ini says 100 ms) and the connect timeout: long enough for a
// bot that wrongly gives up on a quiet connection to have done so.
constexpr int kQuietMs = 2500;
// Megabytes through a real socket take a while under a memory checker.
constexpr int kBulkMs = 240000;

constexpr int kLinesBeforeClose = 5000;
constexpr qsizetype kFloodBytes = 10 * 1024 * 1024;
constexpr int kBurstLines = 100000;
// Commands in the burst from a listed user: far more replies than the send queue may hold.
constexpr int kBurstCommandEvery = 100;

QByteArray Talk(const QByteArray& speaker, const QByteArray& text) {
    return ChatGateway::WireLine(ChatGateway::TalkLine(speaker, "0010", text));
}

// "[time] <speaker> ", as a talk line from someone else starts; the bot's own talk in the
// server's welcome does not count.
bool IsOthersTalk(const QString& run) {
    const QString start = QLatin1String(BotHarness::kStamp) + u'<';
    return run.startsWith(start) && run.endsWith(QLatin1String("> ")) &&
           !run.startsWith(start + QLatin1String("bot1> "));
}

qint64 MonotonicMs() {
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

// The largest figures of the bounded buffers, looked at after every arrival the bot handled and
// kept over every connection.
struct BufferHighs {
    qsizetype unfinishedLine = 0;
    qsizetype waitingBytes = 0;
    qsizetype queuedLines = 0;

    void Note(Bot& bot) {
        unfinishedLine = std::max(unfinishedLine, bot.UnfinishedLineBytes());
        waitingBytes = std::max(waitingBytes, bot.GetConnection().Socket().MostBytesWaiting());
        queuedLines = std::max(queuedLines, bot.GetOutgoing().QueuedLines());
    }
};

struct Scene {
    ChatGateway& gateway;
    BotHarness& harness;

    int PaneCount(const QString& text) const {
        int count = 0;
        for (const auto& run : harness.pane.Runs()) count += run.text.count(text);
        return count;
    }
    bool PaneShows(const QString& text, int timeoutMs = 5000) const {
        return ChatGateway::WaitUntil([&] { return PaneCount(text) > 0; }, timeoutMs);
    }
};

enum class Afterwards { kReconnects, kStaysConnected };

struct ServerFault {
    const char* name;
    // Done to the gateway before the bot connects.
    std::function<void(ChatGateway&)> prepare = {};
    // Done once the bot's handshake has arrived; returns whether the server could do it.
    std::function<bool(Scene&)> act;
    Afterwards afterwards;
    // What the pane must show because of it, and what it must never show.
    QStringList shown = {};
    QStringList neverShown = {};
    // How many talk lines from the server the pane shows; -1: not counted.
    int talkLines = -1;
};

void PrintTo(const ServerFault& fault, std::ostream* os) { *os << fault.name; }

const ServerFault kFaults[] = {
    {
        .name = "ClosesInTheMiddleOfALine",
        .act =
            [](Scene& scene) {
                // Far more than one read's worth before the close: none of it may be lost, and
                // the unfinished line must not run into the first line of the next connection.
                QByteArray lines;
                for (int i = 0; i < kLinesBeforeClose; ++i) {
                    lines += Talk("bob", "talk " + QByteArray::number(i));
                }
                scene.gateway.Send(lines + Talk("alice", "last whole line") +
                                   "1005 TALK alice 0010 \"cut sh");
                scene.gateway.CloseClient();
                return true;
            },
        .afterwards = Afterwards::kReconnects,
        .shown = {"last whole line", "Server closed connection"},
        .neverShown = {"cut sh"},
        .talkLines = kLinesBeforeClose + 1,
    },
    {
        .name = "ResetsTheConnection",
        .act =
            [](Scene& scene) {
                scene.gateway.Send(Talk("alice", "before the reset"));
                if (!scene.gateway.WaitUntilAcknowledged()) return false;
                scene.gateway.ResetClient();
                return true;
            },
        .afterwards = Afterwards::kReconnects,
        .shown = {"before the reset", "Server closed connection"},
    },
    {
        .name = "RefusesTheConnection",
        .act =
            [](Scene& scene) {
                scene.gateway.StopListening();
                scene.gateway.CloseClient();
                // Refused over and over while the recon timer keeps ticking, then back.
                const bool refused = ChatGateway::WaitUntil(
                    [&] { return scene.PaneCount("Connection refused") >= 3; });
                return scene.gateway.ResumeListening() && refused;
            },
        .afterwards = Afterwards::kReconnects,
        .shown = {"Server closed connection", "Connection refused", "Reconnecting..."},
    },
    {
        .name = "AcceptsAndNeverAnswers",
        .prepare = [](ChatGateway& gateway) { gateway.SetSilent(true); },
        .act = [](Scene&) { return true; },
        .afterwards = Afterwards::kStaysConnected,
        .neverShown = {"Connection timed out", "Reconnecting..."},
    },
    {
        .name = "Sends10MiBWithoutALineEnd",
        .act =
            [](Scene& scene) {
                scene.gateway.Send(Talk("alice", "before the flood"));
                return scene.gateway.SendAndFlush(QByteArray(kFloodBytes, 'x'), kBulkMs);
            },
        .afterwards = Afterwards::kStaysConnected,
        .shown = {"before the flood"},
        .neverShown = {"xxx"},
    },
    {
        .name = "SendsInvalidUtf8AndNulBytes",
        .act =
            [](Scene& scene) {
                const QByteArray nul(1, '\0');
                scene.gateway.Send(Talk("alice", "broken \xff\xfe text \xc3") +
                                   Talk("alice", "nul " + nul + " inside") +
                                   Talk("ali" + nul + "ce", "nul in the name") + nul + nul +
                                   "\r\n10" + nul + "05 TALK x 0010 \"nul in the code\"\r\n" +
                                   "\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80\r\n" +
                                   Talk("\xff\xfe", "\xf0\x9f\x98"));
                return true;
            },
        .afterwards = Afterwards::kStaysConnected,
        // Not UTF-8: read byte by byte as the old Windows code page, nothing lost.
        .shown = {QString::fromUtf8("broken \u00ff\u00fe text \u00c3"),
                  QStringLiteral("nul ") + QChar(0) + QStringLiteral(" inside"),
                  QStringLiteral("nul in the name"), QString::fromUtf8("<\u00ff\u00fe>")},
        .neverShown = {"nul in the code"},
        .talkLines = 4,
    },
    {
        .name = "Sends100000LinesInOneBurst",
        .act =
            [](Scene& scene) {
                QByteArray burst;
                for (int i = 0; i < kBurstLines; ++i) {
                    const QByteArray n = QByteArray::number(i);
                    burst += i % kBurstCommandEvery == 0 ? Talk("alice", "!say reply " + n)
                                                         : Talk("bob", "burst line " + n);
                }
                return scene.gateway.SendAndFlush(burst, kBulkMs);
            },
        .afterwards = Afterwards::kStaysConnected,
        .shown = {"burst line 99999", "Too much to say at once"},
        .talkLines = kBurstLines,
    },
};

class ServerFaultTest : public ::testing::TestWithParam<ServerFault> {
  protected:
    ChatGateway gateway;
    BotHarness harness;
    Scene scene{gateway, harness};
    BufferHighs highs;

    Bot& bot() { return harness.bot(); }
    Connection& connection() { return bot().GetConnection(); }
};

TEST_P(ServerFaultTest, TheBotKeepsRunningWithBoundedBuffersAndReconnectsAsItShould) {
    const ServerFault& fault = GetParam();
    if (fault.prepare) fault.prepare(gateway);
    harness.WriteFile("Users.txt", "alice\r\n");
    harness.WriteConfig(gateway.Port());
    // The real flood budget: replies pile up in the send queue instead of leaving at once.
    bot().GetOutgoing().SetClock(&MonotonicMs);
    connection().Socket().SetConnectTimeout(kConnectTimeoutMs);
    QObject::connect(&connection().Socket(), &ChatSocket::DataArrival, [&] { highs.Note(bot()); });

    connection().ConnectMenuClick();
    ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n"));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return connection().Socket().IsConnected(); }));
    ASSERT_TRUE(fault.act(scene));

    if (fault.afterwards == Afterwards::kReconnects) {
        ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n", 10000, 1));
        ASSERT_TRUE(ChatGateway::WaitUntil([&] { return bot().CurrentChannel() == "Lobby"; }));
        EXPECT_EQ(bot().StatusText(1), QStringLiteral("Connection State - Connected"));
        EXPECT_FALSE(connection().ReconEnabled());
    } else {
        EXPECT_FALSE(ChatGateway::WaitUntil(
            [&] { return gateway.ConnectionCount() > 1 || !connection().Socket().IsConnected(); },
            kQuietMs));
        EXPECT_EQ(scene.PaneCount("Server closed connection"), 0);
    }

    // Whatever came before, the next line the server sends is read as it should be.
    const int connections = gateway.ConnectionCount();
    gateway.Send("\r\n" + ChatGateway::WireLine(ChatGateway::InfoLine("still here")));
    EXPECT_TRUE(scene.PaneShows("still here", kBulkMs));
    EXPECT_EQ(gateway.ConnectionCount(), connections);
    EXPECT_TRUE(connection().Socket().IsConnected());

    for (const QString& text : fault.shown)
        EXPECT_GT(scene.PaneCount(text), 0) << text.toStdString();
    for (const QString& text : fault.neverShown) {
        EXPECT_EQ(scene.PaneCount(text), 0) << text.toStdString();
    }
    if (fault.talkLines >= 0) {
        int talk = 0;
        for (const auto& run : harness.pane.Runs()) talk += IsOthersTalk(run.text) ? 1 : 0;
        EXPECT_EQ(talk, fault.talkLines);
    }

    highs.Note(bot());
    EXPECT_LT(highs.unfinishedLine, LineFramer::kMaxLineBytes);
    EXPECT_LE(highs.waitingBytes, ChatSocket::kMaxWaitingBytes);
    EXPECT_LE(highs.queuedLines, SendQueue::kMaxQueuedLines);
}

INSTANTIATE_TEST_SUITE_P(Server, ServerFaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zarivok
