#include <gtest/gtest.h>

#include "commands/CommandInterpreter.h"
#include "connection/Connection.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"

namespace zarivok {
namespace {

using testing::BotHarness;

struct CommandCase {
    const char* name;
    const char* speaker;
    const char* trigger;
    QByteArray text;
    QByteArray sent;  // what the bot puts on the wire in answer
    int quits = 0;
    QByteArray before = {};  // a server line sent first
};

// A logged-in bot in Lobby, alice and bob (twice) listed, against the tests' own gateway.
class CommandInterpreterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.WriteFile("Users.txt", "alice\r\nbob\r\nbob\r\n");
        harness.WriteConfig(gateway.Port());
        ASSERT_TRUE(harness.LogIn());
    }

    // Says text as speaker and returns what the bot sent in answer. The master name asks for
    // the trigger right after: its answer marks the end, so silence is proven without waiting.
    // answerMarkers: how often the answer itself holds the marker text.
    QByteArray Exchange(const QByteArray& speaker, const QByteArray& text,
                        qsizetype answerMarkers = 0) {
        const qsizetype start = gateway.Received().size();
        const qsizetype markersBefore = gateway.Received().count(kMarker);
        gateway.Send(ChatGateway::WireLine(ChatGateway::TalkLine(speaker, "0010", text)) +
                     ChatGateway::WireLine(ChatGateway::TalkLine("QuEnDaR", "0010", "?trigger")));
        const qsizetype expected = markersBefore + 1 + answerMarkers;
        if (!ChatGateway::WaitUntil(
                [&] { return gateway.Received().count(kMarker) >= expected; })) {
            return "(no marker)";
        }
        const QByteArray received = gateway.Received();
        return received.mid(start, received.lastIndexOf(kMarker) - start);
    }

    static constexpr char kMarker[] = "ZaRiVoK Trigger is: ";
    ChatGateway gateway;
    BotHarness harness;
};

TEST_F(CommandInterpreterTest, TheCommandTable) {
    const QByteArray server = "Connected to: 127.0.0.1:" + QByteArray::number(gateway.Port()) +
                              " -- ZaRiVoK v3.0b1 By QuEnDaR -- \r\n";
    const CommandCase cases[] = {
        {"say, any letter case", "alice", "!", "!SAY Hello There", "Hello There\r\n"},
        {"say a server command", "alice", "!", "!say /ban somebody", "/ban somebody\r\n"},
        {"a listed name in other letter case", "aLiCe", "!", "!say case", "case\r\n"},
        {"an unlisted speaker", "dave", "!", "!say hi", ""},
        {"the master name", "QuEnDaR", "!", "!say hi", "hi\r\n"},
        {"the master name in other letter case", "quendar", "!", "!say hi", ""},
        {"say without its blank", "alice", "!", "!say", ""},
        {"say with nothing after it", "alice", "!", "!say ", "\r\n"},
        {"server", "alice", "!", "!server", server},
        {"server with something after it", "alice", "!", "!server ", ""},
        {"about", "alice", "!", "!About", "/me -- ZaRiVoK v3.0b1 by QuEnDaR. --\r\n"},
        {"?trigger", "alice", "!", "?trigger", "ZaRiVoK Trigger is: !\r\n"},
        {"?trigger from an unlisted speaker", "dave", "!", "?trigger", ""},
        {"quit with words after it", "alice", "!", "!quit now", ""},
        {"quit", "alice", "!", "!quit", "", 1},
        {"QUIT", "bob", "!", "!QUIT", "", 1},
        {"rejoin", "alice", "!", "!rejoin", "/join the void\r\n/join Lobby\r\n"},
        {"rejoin from the void", "alice", "!", "!rejoin", "/join the void\r\n/join \r\n", 0,
         ChatGateway::ChannelLine("The Void")},
        {"join", "alice", "!", "!join Backstage", "/join Backstage\r\n", 0,
         ChatGateway::ChannelLine("Lobby")},
        {"ban", "alice", "!", "!ban Troll", "/ban Troll\r\n"},
        {"kick", "alice", "!", "!KICK Troll", "/kick Troll\r\n"},
        {"designate", "alice", "!", "!designate Friend", "/designate Friend\r\n"},
        {"add", "alice", "!", "!add Carol", "User Carol has been added to database.\r\n"},
        {"add nobody", "alice", "!", "!add ", "User  has been added to database.\r\n"},
        {"remove the first of two", "alice", "!", "!remove BOB", "User BOB has been deleted.\r\n"},
        {"remove somebody unlisted", "alice", "!", "!remove zed", "Error: No such user, zed\r\n"},
        {"remove without a name", "alice", "!", "!remove", ""},
        {"settrigger", "alice", "!", "!settrigger .", ""},
        {"the new trigger works", "alice", ".", ".say dot", "dot\r\n"},
        {"the old one no longer does", "alice", ".", "!say bang", ""},
        {"a two-character trigger fails every prefix command", "alice", "!!", "!!say hi", ""},
        {"but the whole-line ones work with it", "alice", "!!", "!!about",
         "/me -- ZaRiVoK v3.0b1 by QuEnDaR. --\r\n"},
        {"an upper-case trigger never passes", "alice", "A", "Aabout", ""},
        {"?trigger still answers it", "alice", "A", "?trigger", "ZaRiVoK Trigger is: A\r\n"},
        {"an empty trigger makes bare words commands", "alice", "", "about",
         "/me -- ZaRiVoK v3.0b1 by QuEnDaR. --\r\n"},
        {"and the prefix commands need nothing after them", "alice", "", "say something", ""},
    };
    int quits = 0;
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        harness.bot().UpdateSettings(
            [&](Settings& s) { s.strTrigger = QString::fromLatin1(c.trigger); });
        if (!c.before.isEmpty()) {
            const QString channel =
                QString::fromLatin1(c.before.mid(c.before.indexOf('"') + 1)).chopped(1);
            gateway.SendLine(c.before);
            ASSERT_TRUE(
                ChatGateway::WaitUntil([&] { return harness.bot().CurrentChannel() == channel; }));
        }
        EXPECT_EQ(Exchange(c.speaker, c.text, c.sent.count(kMarker)).toStdString(),
                  c.sent.toStdString());
        quits += c.quits;
        EXPECT_EQ(harness.quitCount, quits);
    }
    EXPECT_EQ(harness.bot().settings().strTrigger, QStringLiteral(""));
    EXPECT_EQ(harness.ReadFile("Users.txt"), QByteArray("alice\r\nbob\r\nCarol\r\n\r\n"));
    EXPECT_EQ(harness.bot().UserList().Entries(), (QStringList{"alice", "bob", "Carol", ""}));
}

TEST_F(CommandInterpreterTest, SettriggerLastsUntilTheSettingsAreReadAgain) {
    EXPECT_EQ(Exchange("alice", "!settrigger ."), QByteArray());
    EXPECT_EQ(harness.bot().settings().strTrigger, QStringLiteral("."));
    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", ".reconnect"));
    ASSERT_TRUE(gateway.WaitForConnections(2));
    ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n", 5000, 1));
    EXPECT_EQ(harness.bot().settings().strTrigger, QStringLiteral("!"));
    EXPECT_TRUE(gateway.IsClosed(0));
}

TEST_F(CommandInterpreterTest, ASaveThatFailsIsSaidInRedAndTheChangeStays) {
    // A folder in place of the file: no rename can replace it, whoever runs the test.
    QFile::remove(harness.Path("Users.txt"));
    ASSERT_TRUE(QDir(harness.Folder()).mkdir("Users.txt"));
    EXPECT_EQ(Exchange("alice", "!add Dave"),
              QByteArray("User Dave has been added to database.\r\n"));
    EXPECT_TRUE(harness.bot().UserList().IsAuthorizedUser("dave"));
    bool saidInRed = false;
    for (const auto& run : harness.pane.Runs()) {
        saidInRed |= run.colour == kRed && run.text.contains(harness.Path("Users.txt"));
    }
    EXPECT_TRUE(saidInRed);
    EXPECT_EQ(Exchange("dave", "!say still works"), QByteArray("still works\r\n"));
}

}  // namespace
}  // namespace zarivok
