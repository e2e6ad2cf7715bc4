#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStringList>

#include "bot/Bot.h"
#include "channel/ChannelEvent.h"
#include "connection/Connection.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"

namespace zarivok {
namespace {

using testing::BotHarness;

// A listener after every part of the bot: it writes down each event as it hears it, with what
// the bot's state and the pane say at that moment.
class Recorder : public ChannelListener {
  public:
    explicit Recorder(BotHarness& harness) : harness_(harness) { harness_.bot().AddListener(this); }
    ~Recorder() override { harness_.bot().RemoveListener(this); }

    void Hear(const ChannelEvent& event) override {
        Bot& bot = harness_.bot();
        QString entry;
        switch (event.kind) {
            case EventKind::kConnected:
                entry = QStringLiteral("connected");
                break;
            case EventKind::kClosed:
                entry = QStringLiteral("closed");
                break;
            case EventKind::kUniqueName:
                entry = QStringLiteral("logon ") + event.user.toString() +
                        QStringLiteral(" name=") + bot.strName();
                break;
            case EventKind::kChannelLeft:
                entry = QStringLiteral("left '") + event.text.toString() +
                        QStringLiteral("' channel=") + bot.CurrentChannel() +
                        QStringLiteral(" rows=") + QString::number(bot.Roster().Count());
                break;
            case EventKind::kChannel:
                entry = QStringLiteral("entered ") + event.text.toString() +
                        QStringLiteral(" channel=") + bot.CurrentChannel();
                break;
            case EventKind::kUser:
            case EventKind::kJoin:
                entry = QStringLiteral("%1 %2 listed=%3")
                            .arg(event.kind == EventKind::kJoin ? "join" : "user")
                            .arg(event.user)
                            .arg(bot.Roster().FindExact(event.user) >= 0);
                break;
            case EventKind::kLeave:
                entry = QStringLiteral("leave %1 was listed=%2 still listed=%3")
                            .arg(event.user)
                            .arg(event.listed)
                            .arg(bot.Roster().FindExact(event.user) >= 0);
                break;
            case EventKind::kTalk:
            case EventKind::kInfo:
                // The chat view, earlier in the order, has written the line already.
                entry =
                    event.text.toString() + QStringLiteral(" shown=") +
                    QString::number(harness_.pane.Text().contains(event.text.toString() + "\r\n"));
                break;
            default:
                entry = QStringLiteral("other");
                break;
        }
        heard.append(entry);
    }

    QStringList heard;

  private:
    BotHarness& harness_;
};

// Every event passes the bot's own state first and the parts after it, in one order: a listener
// that comes last reads the channel as the event left it, and the pane with the event's line.
TEST(EventStreamTest, EveryEventReachesTheListenersAfterTheBotsState) {
    ChatGateway gateway;
    gateway.AddChannelUser("alice", "0010", "CHAT");
    BotHarness harness;
    harness.WriteConfig(gateway.Port());
    Recorder recorder(harness);
    ASSERT_TRUE(harness.LogIn());
    // The logon as the gateway plays it, without its information lines: the server puts the bot
    // in Chat, and its "/join" takes it on to Lobby.
    const QRegularExpression state(QStringLiteral("^(connected$|logon |left |entered |user )"));
    EXPECT_EQ(recorder.heard.filter(state).join(u'\n').toStdString(),
              "connected\n"
              "logon bot1 name=bot1\n"
              "left '' channel= rows=0\n"
              "entered Chat channel=Chat\n"
              "user bot1 listed=1\n"
              "left 'Chat' channel=Chat rows=0\n"
              "entered Lobby channel=Lobby\n"
              "user bot1 listed=1\n"
              "user alice listed=1");

    recorder.heard.clear();
    gateway.SendLine(ChatGateway::JoinLine("bob", "0010", "STAR"));
    gateway.SendLine(ChatGateway::TalkLine("bob", "0010", "hi there"));
    gateway.SendLine(ChatGateway::LeaveLine("bob", "0010"));
    gateway.SendLine(ChatGateway::LeaveLine("nobody", "0010"));
    gateway.SendLine(ChatGateway::InfoLine("the end"));
    gateway.CloseClient();
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return recorder.heard.endsWith("closed"); }));
    EXPECT_EQ(recorder.heard.join(u'\n').toStdString(),
              "join bob listed=1\n"
              "hi there shown=1\n"
              "leave bob was listed=1 still listed=0\n"
              "leave nobody was listed=0 still listed=0\n"
              "the end shown=1\n"
              "closed");
}

// A part that lets events run (the add command's pauses) holds up the rest of the order for its
// event: what arrives meanwhile passes every listener first. Through a real socket, so that the
// arrival really happens inside the pause.
TEST(EventStreamTest, AnEventArrivingInsideAPausePassesEveryListenerFirst) {
    ChatGateway gateway;
    BotHarness harness;
    harness.WriteFile("Users.txt", "alice\r\n");
    harness.WriteConfig(gateway.Port());
    ASSERT_TRUE(harness.LogIn());
    Recorder recorder(harness);
    gateway.WhenReceived("User dave has been added to database.\r\n",
                         [&] { gateway.SendLine(ChatGateway::InfoLine("meanwhile")); });
    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "!add dave"));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return recorder.heard.size() >= 2; }));
    EXPECT_EQ(recorder.heard.join(u'\n').toStdString(), "meanwhile shown=1\n!add dave shown=1");
}

// Closing the connection here ends it as surely as the server closing it: both say closed once,
// and a connection that never opened says nothing.
TEST(EventStreamTest, EveryOpenedConnectionEndsWithOneClosed) {
    ChatGateway gateway;
    BotHarness harness;
    harness.WriteConfig(gateway.Port());
    Recorder recorder(harness);
    ASSERT_TRUE(harness.LogIn());
    harness.bot().GetConnection().ConnectMenuClick();  // Disconnect
    harness.bot().GetConnection().CloseConnection();
    harness.WriteConfig(ChatGateway::UnusedPort());
    harness.bot().GetConnection().ConnectToServer();
    ASSERT_TRUE(
        ChatGateway::WaitUntil([&] { return harness.pane.Text().contains("Connection refused"); }));
    const QStringList connections =
        recorder.heard.filter(QRegularExpression(QStringLiteral("^(connected|closed)$")));
    EXPECT_EQ(connections.join(u' ').toStdString(), "connected closed");
}

}  // namespace
}  // namespace zarivok
