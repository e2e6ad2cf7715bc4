#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>

#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"

namespace zarivok {
namespace {

using testing::BotHarness;

class FloodSafeSendingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.WriteFile("Users.txt", "alice\r\nbob\r\n");
        harness.WriteConfig(gateway.Port());
        ASSERT_TRUE(harness.LogIn());
    }

    Outgoing& out() { return harness.bot().GetOutgoing(); }

    // What the bot sent after the login handshake.
    QByteArray Said() {
        const QByteArray all = gateway.Received();
        return all.mid(all.indexOf("/join Lobby\r\n") + 13);
    }

    ChatGateway gateway;
    BotHarness harness;
};

TEST_F(FloodSafeSendingTest, LinesBeyondTheBudgetWaitAndAreEchoedWhenTheyLeave) {
    qint64 now = 0;
    out().SetClock([&] { return now; });
    for (int i = 1; i <= 6; ++i) out().SendChatText(QStringLiteral("line %1").arg(i));
    ASSERT_TRUE(gateway.WaitForReceived("line 4\r\n"));
    EXPECT_EQ(out().QueuedLines(), 2);
    // The echo shows what the server got: the waiting lines are not in the pane yet.
    EXPECT_EQ(harness.pane.Text().count("> line"), 4);

    now += 5999;
    out().PumpQueue();
    EXPECT_EQ(out().QueuedLines(), 2);
    now += 1;
    out().PumpQueue();
    ASSERT_TRUE(gateway.WaitForReceived("line 6\r\n"));
    EXPECT_EQ(Said(), QByteArray("line 1\r\nline 2\r\nline 3\r\nline 4\r\nline 5\r\nline 6\r\n"));
    EXPECT_TRUE(harness.pane.Text().endsWith("<bot1> line 5\r\n[9:05:03 PM] <bot1> line 6\r\n"));
}

TEST_F(FloodSafeSendingTest, ALongLineIsSplitAtBlanksAndACommandIsCut) {
    // 249 bytes: the longest first piece holds 32 words (159 bytes).
    const QString words = QStringLiteral("word ").repeated(50).trimmed();
    out().SendChatText(words);
    out().SendChatText(QStringLiteral("/me ") + QString(200, u'x'));
    ASSERT_TRUE(gateway.WaitForReceived("/me "));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return Said().endsWith("\r\n"); }));
    const QList<QByteArray> lines = Said().split('\n');
    ASSERT_EQ(lines.size(), 4);  // two pieces of talk, the emote, and after the last LF nothing
    EXPECT_EQ(lines[0], QByteArray("word ").repeated(32).trimmed() + "\r");
    EXPECT_EQ(lines[1], QByteArray("word ").repeated(18).trimmed() + "\r");
    EXPECT_EQ(lines[2], "/me " + QByteArray(76, 'x') + "\r");
}

TEST_F(FloodSafeSendingTest, ADisconnectDropsTheQueue) {
    qint64 now = 0;
    out().SetClock([&] { return now; });
    for (int i = 1; i <= 8; ++i) out().SendChatText(QStringLiteral("queued %1").arg(i));
    EXPECT_EQ(out().QueuedLines(), 4);
    gateway.CloseClient();
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return out().QueuedLines() == 0; }));
    ASSERT_TRUE(gateway.WaitForConnections(2));
    ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n", 5000, 1));
    now += 60000;
    out().SendChatText(QStringLiteral("fresh"));
    ASSERT_TRUE(gateway.WaitForReceived("fresh\r\n", 5000, 1));
    EXPECT_FALSE(gateway.Received(1).contains("queued"));
}

TEST_F(FloodSafeSendingTest, TheQueueIsBoundedAndSaysWhatItDropped) {
    out().SetClock([] { return qint64(0); });
    // Four leave at once, a hundred may wait, and the two after them are dropped.
    for (int i = 0; i < 106; ++i) out().SendChatText(QStringLiteral("spam %1").arg(i));
    EXPECT_EQ(out().QueuedLines(), 100);
    EXPECT_EQ(harness.pane.Text().count("Too much to say at once: 1 line(s) dropped, 100 still "
                                        "waiting to be sent.\r\n"),
              2);
    EXPECT_EQ(harness.pane.Runs().last().colour, kRed);
}

// The real server's rule, applied by the gateway: refusals and a disconnect at 10 units.
TEST_F(FloodSafeSendingTest, ThirtyCommandsAtOnceAllGetTheirRepliesWithoutARefusal) {
    gateway.SetFloodControl(true);
    out().SetClock([] {
        QElapsedTimer clock;
        clock.start();
        return clock.msecsSinceReference();
    });
    QByteArray burst;
    QList<QByteArray> replies;
    for (int i = 0; i < 20; ++i) {
        burst += ChatGateway::WireLine(ChatGateway::TalkLine(
            i % 2 ? "alice" : "bob", "0010", "!say reply " + QByteArray::number(i)));
        replies.append("reply " + QByteArray::number(i) + "\r\n");
    }
    for (int i = 0; i < 4; ++i) {
        burst += ChatGateway::WireLine(
            ChatGateway::TalkLine("alice", "0010", "!add user" + QByteArray::number(i)));
        replies.append("User user" + QByteArray::number(i) + " has been added to database.\r\n");
    }
    for (int i = 0; i < 3; ++i)
        burst += ChatGateway::WireLine(ChatGateway::TalkLine("bob", "0010", "!about"));
    for (int i = 0; i < 3; ++i)
        burst += ChatGateway::WireLine(ChatGateway::TalkLine("bob", "0010", "!rejoin"));
    gateway.Send(burst);
    ASSERT_TRUE(ChatGateway::WaitUntil(
        [&] {
            const QByteArray said = Said();
            return said.count("/me -- ZaRiVoK v3.0b1 by QuEnDaR. --\r\n") == 3 &&
                   said.count("/join the void\r\n") == 3 &&
                   std::all_of(replies.begin(), replies.end(),
                               [&](const QByteArray& r) { return said.contains(r); });
        },
        120000));
    EXPECT_EQ(gateway.RefusedCount(), 0);
    EXPECT_FALSE(gateway.WasFloodDisconnected());
    EXPECT_EQ(gateway.ConnectionCount(), 1);
    EXPECT_FALSE(harness.pane.Text().contains("quota"));
}

}  // namespace
}  // namespace zarivok
