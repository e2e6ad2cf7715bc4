#include <gtest/gtest.h>

#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"

namespace zarivok {
namespace {

using testing::BotHarness;

bool PaneShows(BotHarness& harness, const QString& text, int timeoutMs = 5000) {
    return ChatGateway::WaitUntil([&] { return harness.pane.Text().contains(text); }, timeoutMs);
}

int CountOf(const BotHarness& harness, const QString& text) {
    return static_cast<int>(harness.pane.Text().count(text));
}

class ConnectionTest : public ::testing::Test {
  protected:
    ChatGateway gateway;
    BotHarness harness;
    Connection& connection() { return harness.bot().GetConnection(); }
    Outgoing& outgoing() { return harness.bot().GetOutgoing(); }

    // Connect from the menu and wait until the gateway has the handshake.
    void ConnectAndLogIn() {
        connection().ConnectMenuClick();
        ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n"));
        ASSERT_TRUE(ChatGateway::WaitUntil([&] { return connection().Socket().IsConnected(); }));
    }
};

TEST_F(ConnectionTest, ConnectSendsTheWholeHandshakeInOneSendAndShowsTheState) {
    gateway.SetLoginScript(false);
    harness.WriteConfig(gateway.Port(), {{"Options/Reconnect", "5000"}});
    connection().ConnectMenuClick();
    EXPECT_EQ(connection().ConnectCaption(), QStringLiteral("&Disconnect"));
    EXPECT_EQ(harness.bot().StatusText(1), QStringLiteral("Connection State - Connecting..."));
    ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n"));
    EXPECT_EQ(gateway.Received(), QByteArray("\x03\x04"
                                             "bot1\r\nbotpass\r\n/join Lobby\r\n"));
    ASSERT_TRUE(PaneShows(harness, "Connected To Battle.net at "));
    EXPECT_EQ(harness.pane.Transcript().toStdString(),
              "green|Loaded Config.ini\\r\\n\n"
              "green|Reconnect Interval set to: 5000ms\\r\\n\n"
              "green|Connected To Battle.net at 9:05:03 PM\\r\\n\n");
    EXPECT_EQ(harness.bot().StatusText(1), QStringLiteral("Connection State - Connected"));
    EXPECT_FALSE(connection().Recon().isActive());
}

TEST_F(ConnectionTest, EmptyPasswordAndHomeStillSendTheirLineEnds) {
    gateway.SetLoginScript(false);
    harness.WriteConfig(gateway.Port(), {{"Login/Pass", ""}, {"Login/Home", ""}});
    connection().ConnectMenuClick();
    ASSERT_TRUE(gateway.WaitForReceived("/join \r\n"));
    EXPECT_EQ(gateway.Received(), QByteArray("\x03\x04"
                                             "bot1\r\n\r\n/join \r\n"));
}

TEST_F(ConnectionTest, AServerCloseReconnectsOnTheTimerUntilConnected) {
    harness.WriteConfig(gateway.Port());
    ConnectAndLogIn();
    gateway.CloseClient();
    ASSERT_TRUE(PaneShows(harness, "[9:05:03 PM] Server closed connection\r\n"));
    EXPECT_EQ(harness.pane.Runs().last().colour, kRed);
    EXPECT_TRUE(connection().ReconEnabled());
    ASSERT_TRUE(gateway.WaitForConnections(2));
    ASSERT_TRUE(PaneShows(harness, "Reconnecting...\r\n"));
    ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n", 5000, 1));
    ASSERT_TRUE(ChatGateway::WaitUntil(
        [&] { return harness.bot().StatusText(1) == "Connection State - Connected"; }));
    EXPECT_FALSE(connection().ReconEnabled());
    EXPECT_EQ(CountOf(harness, "Connected To Battle.net at "), 2);
    EXPECT_EQ(connection().ConnectCaption(), QStringLiteral("&Disconnect"));
}

TEST_F(ConnectionTest, ARefusedConnectionShowsTheErrorAndKeepsTrying) {
    harness.WriteConfig(ChatGateway::UnusedPort());
    connection().ConnectMenuClick();
    ASSERT_TRUE(PaneShows(harness, "Connection refused"));
    EXPECT_EQ(harness.bot().StatusText(1), QStringLiteral("Connection State - Reconnecting"));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return CountOf(harness, "Reconnecting...") >= 2; }));
    EXPECT_GE(CountOf(harness, "Connection refused"), 2);
    EXPECT_TRUE(connection().ReconEnabled());
}

TEST_F(ConnectionTest, ADelayOfZeroNeverTicks) {
    harness.WriteConfig(ChatGateway::UnusedPort(), {{"Options/Reconnect", "0"}});
    connection().ConnectMenuClick();
    ASSERT_TRUE(PaneShows(harness, "Connection refused"));
    EXPECT_TRUE(connection().ReconEnabled());
    EXPECT_FALSE(connection().Recon().isActive());
}

TEST_F(ConnectionTest, ASilentServerKeepsTheConnectionAndTheBotWorks) {
    gateway.SetSilent(true);
    harness.WriteConfig(gateway.Port());
    ConnectAndLogIn();
    outgoing().SendChatText(QStringLiteral("anyone?"));
    ASSERT_TRUE(gateway.WaitForReceived("anyone?\r\n"));
    EXPECT_TRUE(connection().Socket().IsConnected());
    EXPECT_EQ(CountOf(harness, "Server closed connection"), 0);
}

TEST_F(ConnectionTest, LinesSplitAcrossArrivalsAreJoined) {
    gateway.SetLoginScript(false);
    harness.WriteConfig(gateway.Port());
    ConnectAndLogIn();
    harness.pane.Clear();
    ASSERT_TRUE(gateway.SendAndFlush("1018 INFO \"hel"));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] {
        return harness.bot().GetConnection().Socket().GetState() == ChatSocket::State::Connected;
    }));
    ASSERT_TRUE(gateway.SendAndFlush("lo\"\r"));
    ASSERT_TRUE(gateway.SendAndFlush("\n1019 ERROR \"x\"\r\n"));
    ASSERT_TRUE(PaneShows(harness, "x\r\n"));
    EXPECT_EQ(harness.pane.Transcript().toStdString(),
              "yellow|[9:05:03 PM] hello\\r\\n\nred|[9:05:03 PM] x\\r\\n\n");
}

TEST_F(ConnectionTest, AnUnfinishedLineDoesNotOutliveItsConnection) {
    gateway.SetLoginScript(false);
    harness.WriteConfig(gateway.Port());
    ConnectAndLogIn();
    ASSERT_TRUE(gateway.SendAndFlush("1018 INFO \"half of a li"));
    gateway.CloseClient();
    ASSERT_TRUE(gateway.WaitForConnections(2));
    ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n", 5000, 1));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return connection().Socket().IsConnected(); }));
    harness.pane.Clear();
    ASSERT_TRUE(gateway.SendAndFlush("1018 INFO \"fresh\"\r\n"));
    ASSERT_TRUE(PaneShows(harness, "fresh"));
    EXPECT_EQ(harness.pane.Transcript().toStdString(), "yellow|[9:05:03 PM] fresh\\r\\n\n");
}

TEST_F(ConnectionTest, SendingTalksAndEchoesButCommandsAreNotEchoed) {
    harness.WriteConfig(gateway.Port());
    ConnectAndLogIn();
    ASSERT_TRUE(PaneShows(harness, "Successfully logged in as bot1"));
    harness.pane.Clear();
    outgoing().SendChatText(QStringLiteral("hello there"));
    outgoing().SendChatText(QStringLiteral("/w bob psst"));
    outgoing().SendChatText(QString());
    outgoing().SendChatText(QStringLiteral("first\r\nsecond"));
    ASSERT_TRUE(gateway.WaitForReceived("first\r\n"));
    EXPECT_TRUE(gateway.Received().endsWith("hello there\r\n/w bob psst\r\n\r\nfirst\r\n"));
    EXPECT_EQ(harness.pane.Transcript().toStdString(),
              "cyan|[9:05:03 PM] <bot1>\nwhite| hello there\\r\\n\n"
              "cyan|[9:05:03 PM] <bot1>\nwhite| \\r\\n\n"
              "cyan|[9:05:03 PM] <bot1>\nwhite| first\\r\\n\n");
}

TEST_F(ConnectionTest, SendingWhileDisconnectedReconnectsAndDropsTheText) {
    harness.WriteConfig(gateway.Port());
    outgoing().SendChatText(QStringLiteral("lost words"));
    EXPECT_EQ(harness.pane.Runs().first(),
              (testing::RecordingPane::Run{"Reconnecting...\r\n", kWhite, false}));
    EXPECT_TRUE(harness.pane.Text().contains("Loaded Config.ini"));
    ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n"));
    // The caption is the operator's: a connection made for sending leaves it alone.
    EXPECT_EQ(connection().ConnectCaption(), QStringLiteral("&Connect"));
    EXPECT_FALSE(gateway.Received().contains("lost words"));
}

TEST_F(ConnectionTest, TheAntiIdleLineGoesOutEvery120Ticks) {
    gateway.SetLoginScript(false);
    harness.WriteConfig(gateway.Port(), {{"Options/IdleMsg", "still here"}});
    ConnectAndLogIn();
    EXPECT_EQ(outgoing().AntiIdle().interval(), 1000);
    EXPECT_TRUE(outgoing().AntiIdle().isActive());
    const qsizetype before = harness.pane.Runs().size();
    for (int tick = 0; tick < 119; ++tick) outgoing().AntiIdle_Timer();
    EXPECT_EQ(outgoing().IdleCount(), 119);
    outgoing().AntiIdle_Timer();
    EXPECT_EQ(outgoing().IdleCount(), 0);
    ASSERT_TRUE(gateway.WaitForReceived("/me -- still here -- ZaRiVoK v3.0b1 by QuEnDaR. --\r\n"));
    EXPECT_EQ(harness.pane.Runs().size(), before);
}

TEST_F(ConnectionTest, TheAntiIdleTickReconnectsWhenTheConnectionIsDown) {
    harness.WriteConfig(gateway.Port(), {{"Options/IdleMsg", ""}});
    for (int tick = 0; tick < 120; ++tick) outgoing().AntiIdle_Timer();
    ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n"));
    EXPECT_EQ(harness.pane.Runs().first().text, QStringLiteral("Reconnecting...\r\n"));
}

TEST_F(ConnectionTest, DisconnectFromTheMenu) {
    harness.WriteConfig(gateway.Port());
    ConnectAndLogIn();
    connection().ConnectMenuClick();
    EXPECT_EQ(connection().ConnectCaption(), QStringLiteral("&Connect"));
    EXPECT_EQ(harness.pane.Runs().last(),
              (testing::RecordingPane::Run{"Disconnected.\r\n", kGreen, false}));
    EXPECT_EQ(harness.bot().StatusText(1), QStringLiteral("Connection State - Disconnected"));
    EXPECT_TRUE(gateway.WaitForDisconnect());
    EXPECT_FALSE(connection().ReconEnabled());
}

TEST_F(ConnectionTest, ExitClosesTheConnectionAndEndsAtOnce) {
    harness.WriteConfig(gateway.Port());
    ConnectAndLogIn();
    const qsizetype runs = harness.pane.Runs().size();
    connection().ExitMenuClick();
    EXPECT_EQ(harness.quitCount, 1);
    EXPECT_TRUE(gateway.WaitForDisconnect());
    EXPECT_EQ(harness.pane.Runs().size(), runs);
}

TEST_F(ConnectionTest, DisconnectWhileAReconnectIsPendingStillReconnects) {
    harness.WriteConfig(gateway.Port());
    ConnectAndLogIn();
    gateway.CloseClient();
    ASSERT_TRUE(PaneShows(harness, "Server closed connection"));
    connection().ConnectMenuClick();
    ASSERT_TRUE(gateway.WaitForConnections(2));
    EXPECT_EQ(connection().ConnectCaption(), QStringLiteral("&Connect"));
}

TEST_F(ConnectionTest, ReconnectMenuReloadsTheSettingsForTheComingLogin) {
    gateway.SetLoginScript(false);
    harness.WriteConfig(gateway.Port());
    ConnectAndLogIn();
    harness.WriteConfig(gateway.Port(), {{"Login/Home", "Elsewhere"}});
    const qsizetype before = harness.pane.Runs().size();
    connection().ReconnectMenuClick();
    ASSERT_TRUE(gateway.WaitForConnections(2));
    ASSERT_TRUE(gateway.WaitForReceived("/join Elsewhere\r\n", 5000, 1));
    ASSERT_TRUE(PaneShows(harness, "Connected To Battle.net"));
    EXPECT_EQ(harness.pane.Runs().size(), before + 1);
}

TEST_F(ConnectionTest, BadNumbersInTheSettingsAreSaidInRedOncePerLoad) {
    gateway.SetLoginScript(false);
    harness.WriteConfig(gateway.Port(),
                        {{"Options/Reconnect", "soon"}, {"Options/AutoClear At Line", QString()}});
    connection().ConnectMenuClick();
    const QString text = harness.pane.Text();
    EXPECT_EQ(text.count("Config.ini: "), 2);
    EXPECT_TRUE(text.contains("\"Reconnect\" is \"soon\""));
    EXPECT_TRUE(text.contains("Reconnect Interval set to: 10000ms"));
    EXPECT_EQ(connection().Recon().interval(), 10000);
}

TEST_F(ConnectionTest, TheReconnectTimerGetsTheDelayWrittenWithANoBreakSpace) {
    gateway.SetLoginScript(false);
    harness.WriteConfig(gateway.Port(), {{"Options/Reconnect", QString::fromUtf8("7000\u00a0")}});
    connection().ConnectMenuClick();
    EXPECT_FALSE(harness.pane.Text().contains("Config.ini: "));
    EXPECT_EQ(connection().Recon().interval(), 7000);
}

TEST_F(ConnectionTest, AnEmptyOrUnusableServerIsSaidInRed) {
    harness.WriteConfig(gateway.Port(), {{"Login/Server", ""}, {"Options/Reconnect", "0"}});
    connection().ConnectMenuClick();
    EXPECT_TRUE(
        harness.pane.Text().contains("Config.ini: \"Server\" is empty; set it to the chat "
                                     "server's host name or address.\r\n"));
    harness.WriteConfig(gateway.Port(),
                        {{"Login/Server", "127.0.0.1:http"}, {"Options/Reconnect", "0"}});
    connection().ConnectMenuClick();  // disconnect
    connection().ConnectMenuClick();
    EXPECT_TRUE(
        harness.pane.Text().contains("Config.ini: \"Server\" has the port \"http\", not a number "
                                     "from 1 to 65535; using 6112.\r\n"));
    EXPECT_EQ(connection().Socket().RemotePort, 6112);
}

TEST_F(ConnectionTest, TheServerSettingMayNameAPort) {
    gateway.SetLoginScript(false);
    harness.WriteConfig(gateway.Port(),
                        {{"Login/Server", QStringLiteral("127.0.0.1:%1").arg(gateway.Port())}});
    ConnectAndLogIn();
    EXPECT_EQ(connection().Socket().RemotePort, gateway.Port());
}

}  // namespace
}  // namespace zarivok
