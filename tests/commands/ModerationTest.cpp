#include <gtest/gtest.h>

#include <QTimer>

#include "commands/CommandInterpreter.h"
#include "commands/Moderation.h"
#include "connection/Connection.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"

namespace zarivok {
namespace {

using testing::BotHarness;

class ModerationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.WriteFile("Users.txt", "alice\r\nBob\r\n");
        harness.WriteConfig(gateway.Port());
        ASSERT_TRUE(harness.LogIn());
        start = gateway.Received().size();
    }

    // What the bot sent since the set-up, once it ends with `last`.
    QByteArray SentUntil(const QByteArray& last) {
        if (!ChatGateway::WaitUntil([&] { return gateway.Received().mid(start).endsWith(last); })) {
            return "(not sent: " + last + ")";
        }
        return gateway.Received().mid(start);
    }

    ChatGateway gateway;
    BotHarness harness;
    qsizetype start = 0;
};

TEST_F(ModerationTest, TheServerCommandsAboutThePickedUser) {
    Bot& bot = harness.bot();
    bot.PickUser(QStringLiteral("Troll"));
    const qsizetype panelRuns = harness.pane.Runs().size();
    bot.Moderate().BanUser();
    bot.Moderate().KickUser();
    bot.Moderate().DesignateUser();
    bot.Moderate().SquelchUser();
    bot.Moderate().UnsquelchUser();
    EXPECT_EQ(SentUntil("/unsquelch Troll\r\n"),
              QByteArray("/ban Troll\r\n/kick Troll\r\n/designate Troll\r\n/squelch Troll\r\n"
                         "/unsquelch Troll\r\n"));
    EXPECT_EQ(harness.pane.Runs().size(), panelRuns);  // commands are not echoed
}

TEST_F(ModerationTest, AddAndRemoveQuoteTheNameAsTheListShowsIt) {
    Bot& bot = harness.bot();
    bot.PickUser(QStringLiteral("bob"));
    bot.Moderate().RemovePickedUserFromDatabase();
    EXPECT_EQ(harness.ReadFile("Users.txt"), QByteArray("alice\r\n"));
    bot.PickUser(QStringLiteral("alice"));
    bot.Moderate().AddPickedUserToDatabase();  // listed already: a second entry
    EXPECT_EQ(harness.ReadFile("Users.txt"), QByteArray("alice\r\nalice\r\n"));
    bot.Moderate().RemovePickedUserFromDatabase();
    bot.Moderate().RemovePickedUserFromDatabase();
    EXPECT_EQ(harness.ReadFile("Users.txt"), QByteArray());
    bot.Moderate().RemovePickedUserFromDatabase();
    EXPECT_EQ(SentUntil("Error: No such user, alice\r\n"),
              QByteArray("User bob has been deleted.\r\n"
                         "User alice has been added to database.\r\n"
                         "User alice has been deleted.\r\n"
                         "User alice has been deleted.\r\n"
                         "Error: No such user, alice\r\n"));
    EXPECT_TRUE(bot.UserList().Entries().isEmpty());
}

// The pauses of "add" and the pump of "rejoin" let other commands run inside them: the list and
// the file must still agree afterwards, whatever ran in between.
TEST_F(ModerationTest, CommandsRunningInsideOtherCommandsLeaveTheListConsistent) {
    Bot& bot = harness.bot();
    const auto say = [&](const QByteArray& speaker, const QByteArray& text) {
        harness.Feed(ChatGateway::WireLine(ChatGateway::TalkLine(speaker, "0010", text)));
    };
    // Inside the add's first pause: remove the speaker himself and add two others; inside the
    // first nested pause, a removal of the user being added, who is not in the list yet.
    QTimer::singleShot(0, [&] {
        say("alice", "!remove alice");
        QTimer::singleShot(0, [&] { say("Bob", "!remove carol"); });
        say("Bob", "!add carol");
        say("Bob", "!add dave");
    });
    say("alice", "!add erin");
    EXPECT_EQ(bot.UserList().Entries(), (QStringList{"Bob", "carol", "dave", "erin"}));
    EXPECT_EQ(harness.ReadFile("Users.txt"), QByteArray("Bob\r\ncarol\r\ndave\r\nerin\r\n"));
    EXPECT_EQ(SentUntil("User erin has been added to database.\r\n"),
              QByteArray("User alice has been deleted.\r\n"
                         "Error: No such user, carol\r\n"
                         "User carol has been added to database.\r\n"
                         "User dave has been added to database.\r\n"
                         "User erin has been added to database.\r\n"));

    // The picked user is taken when the action starts, whatever is picked during its pauses.
    bot.PickUser(QStringLiteral("frank"));
    QTimer::singleShot(0, [&] {
        bot.PickUser(QStringLiteral("somebody else"));
        say("Bob", "!remove dave");
    });
    bot.Moderate().AddPickedUserToDatabase();
    EXPECT_EQ(bot.UserList().Entries(), (QStringList{"Bob", "carol", "erin", "frank"}));

    // The rejoin pump.
    QTimer::singleShot(0, [&] { say("Bob", "!remove carol"); });
    say("Bob", "!rejoin");
    EXPECT_EQ(bot.UserList().Entries(), (QStringList{"Bob", "erin", "frank"}));
    EXPECT_EQ(harness.ReadFile("Users.txt"), QByteArray("Bob\r\nerin\r\nfrank\r\n"));
    EXPECT_TRUE(SentUntil("/join Lobby\r\n")
                    .endsWith("User frank has been added to database.\r\n/join the void\r\n"
                              "User carol has been deleted.\r\n/join Lobby\r\n"));
}

}  // namespace
}  // namespace zarivok
