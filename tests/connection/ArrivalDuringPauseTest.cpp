#include <gtest/gtest.h>

#include <QTimer>

#include "connection/Connection.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"

namespace zarivok {
namespace {

using testing::BotHarness;

QByteArray Talk(const QByteArray& speaker, const QByteArray& text) {
    return ChatGateway::WireLine(ChatGateway::TalkLine(speaker, "0010", text));
}

// Handlers that let events run (the add's pauses, the rejoin, the user database load) are
// entered from received data. What arrives while they run goes through a real socket here, and
// the gateway acts from inside its own read handler, that is, inside the bot's pause.
class ArrivalDuringPauseTest : public ::testing::Test {
  protected:
    void LogIn(const QByteArray& users, const QMap<QString, QString>& config = {}) {
        harness.WriteFile("Users.txt", users);
        harness.WriteConfig(gateway.Port(), config);
        ASSERT_TRUE(harness.LogIn());
    }

    bool PaneShows(const QString& text) {
        return ChatGateway::WaitUntil([&] { return harness.pane.Text().contains(text); });
    }

    ChatGateway gateway;
    BotHarness harness;
};

TEST_F(ArrivalDuringPauseTest, ALineSentTheMomentTheAddIsAnsweredIsShownAndAnswered) {
    LogIn("alice\r\nbob\r\n");
    gateway.WhenReceived("User dave has been added to database.\r\n",
                         [&] { gateway.Send(Talk("bob", "!say hello")); });
    gateway.Send(Talk("alice", "!add dave"));
    EXPECT_TRUE(gateway.WaitForReceived("\r\nhello\r\n"));
    EXPECT_TRUE(PaneShows("<bob> !say hello\r\n"));
}

TEST_F(ArrivalDuringPauseTest, ALineArrivingDuringTheRejoinIsAnswered) {
    LogIn("alice\r\nbob\r\n");
    gateway.WhenReceived("/join the void\r\n", [&] { gateway.Send(Talk("bob", "!say back")); });
    gateway.Send(Talk("alice", "!rejoin"));
    EXPECT_TRUE(gateway.WaitForReceived("\r\nback\r\n"));
    EXPECT_TRUE(gateway.Received().contains("/join Lobby\r\n"));
}

TEST_F(ArrivalDuringPauseTest, ALineArrivingWhileTheUserDatabaseLoadsIsAnswered) {
    // Long enough that the load, which lets events run after every line, is still going when
    // the line arrives.
    QByteArray users;
    for (int i = 0; i < 20000; ++i) users += "user" + QByteArray::number(i) + "\r\n";
    users += "bob\r\n";
    harness.WriteFile("Users.txt", users);
    harness.WriteConfig(gateway.Port());
    bool sent = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const bool loading = harness.bot().UserList().Entries().size() > 1 &&
                             !harness.pane.Text().contains("Successfully logged in");
        if (!sent && loading) {
            sent = true;
            gateway.Send(Talk("bob", "!say during the load"));
        }
    });
    watch.start(0);
    harness.bot().GetConnection().ConnectMenuClick();
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return sent; }));
    EXPECT_TRUE(gateway.WaitForReceived("\r\nduring the load\r\n"));
}

// The peer goes away in the middle of an add: the handlers still running finish on the closed
// connection. Nothing they say reaches the server or opens a connection of its own; the
// reconnect timer alone brings the bot back.
TEST_F(ArrivalDuringPauseTest, APeerThatClosesDuringAnAddLeavesTheBotRunningAndQuiet) {
    LogIn("alice\r\n", {{"Options/Reconnect", "60000"}});
    gateway.WhenReceived("User dave has been added to database.\r\n",
                         [&] { gateway.CloseClient(); });
    gateway.Send(Talk("alice", "!add dave") + Talk("alice", "!add erin") +
                 Talk("alice", "!say late"));
    ASSERT_TRUE(ChatGateway::WaitUntil(
        [&] { return harness.ReadFile("Users.txt") == "alice\r\ndave\r\nerin\r\n"; }));
    ASSERT_TRUE(PaneShows("Server closed connection\r\n"));
    EXPECT_EQ(gateway.ConnectionCount(), 1);
    EXPECT_FALSE(harness.pane.Text().contains("Reconnecting..."));
    EXPECT_FALSE(gateway.Received().contains("erin"));
    EXPECT_FALSE(gateway.Received().contains("late"));
    EXPECT_TRUE(
        harness.pane.Text().contains("Not sent, the connection it answers has closed: User erin "
                                     "has been added to database.\r\n"));
    EXPECT_TRUE(harness.bot().GetConnection().ReconEnabled());
}

TEST_F(ArrivalDuringPauseTest, AResetDuringAnAddLeavesTheBotRunning) {
    LogIn("alice\r\n", {{"Options/Reconnect", "60000"}});
    gateway.WhenReceived("User dave has been added to database.\r\n",
                         [&] { gateway.ResetClient(); });
    gateway.Send(Talk("alice", "!add dave") + Talk("alice", "!add erin"));
    ASSERT_TRUE(ChatGateway::WaitUntil(
        [&] { return harness.ReadFile("Users.txt") == "alice\r\ndave\r\nerin\r\n"; }));
    EXPECT_EQ(gateway.ConnectionCount(), 1);
    EXPECT_TRUE(harness.bot().GetConnection().ReconEnabled());
}

}  // namespace
}  // namespace zarivok
