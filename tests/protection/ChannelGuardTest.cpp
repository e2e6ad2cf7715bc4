#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "protection/ChannelGuard.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"
#include "support/Exchange.h"
#include "support/WriteProtection.h"

namespace zarivok {
namespace {

using testing::BotHarness;
using Gw = ChatGateway;

constexpr char kMarker[] = "ZaRiVoK Trigger is: ";

QByteArray Ini(const QByteArray& greet, const QByteArray& lockdown, const QByteArray& phrases,
               const QByteArray& flood) {
    return "[Greet]\r\n" + greet + "[Lockdown]\r\n" + lockdown + "[Phrases]\r\n" + phrases +
           "[Flood]\r\n" + flood;
}

// Every rule on but the lockdown, as the README's example.
const QByteArray kExample =
    Ini("Enabled=1\r\nText=Welcome to %channel%, %user%.\r\n",
        "Enabled=0\r\nReason=This channel is closed.\r\n",
        "Enabled=1\r\nAction=kick\r\nReason=Watch your language.\r\n",
        "Enabled=1\r\nLines=5\r\nSeconds=5\r\nAction=kick\r\nReason=Flooding.\r\n");

// A logged-in bot in Lobby with alice listed, against the tests' own gateway. The send queue's
// clock jumps ten seconds at every reading, so the flood budget never holds a line back unless
// a test freezes it.
class ChannelGuardTest : public ::testing::Test {
  protected:
    void Start(const QByteArray& ini = kExample, const QByteArray& banList = "troll Go away\r\n",
               const QByteArray& phrases = "badword\r\n", bool op = true) {
        harness.WriteFile("Users.txt", "alice\r\n");
        if (!ini.isNull()) harness.WriteFile("Protection.ini", ini);
        if (!banList.isNull()) harness.WriteFile("Banlist.txt", banList);
        if (!phrases.isNull()) harness.WriteFile("Phrases.txt", phrases);
        harness.WriteConfig(gateway.Port());
        out().SetClock([this] { return queueNow += 10000; });
        guard().SetClock([this] { return now; });
        ASSERT_TRUE(harness.LogIn());
        if (op) {
            gateway.SendLine("1009 USER bot1 0002");
            ASSERT_TRUE(Gw::WaitUntil([&] { return guard().IsOperator(); }));
        }
    }

    QByteArray Exchange(const QByteArrayList& lines) { return testing::Exchange(gateway, lines); }

    Outgoing& out() { return harness.bot().GetOutgoing(); }
    ChannelGuard& guard() { return harness.bot().Guard(); }

    qint64 queueNow = 0;
    qint64 now = 1'000'000;
    Gw gateway;
    BotHarness harness;
};

struct RuleCase {
    const char* name;
    QByteArrayList lines;
    QByteArray sent;
};

TEST_F(ChannelGuardTest, EachRuleActsInItsOrderOnceAndNeverOnTheExempt) {
    Start(Ini("Enabled=1\r\nText=Welcome to %channel%, %user%.\r\n",
              "Enabled=0\r\nReason=This channel is closed.\r\n",
              "Enabled=1\r\nAction=ban\r\nReason=Watch your language.\r\n",
              "Enabled=1\r\nLines=3\r\nSeconds=5\r\nAction=kick\r\nReason=Flooding.\r\n"),
          "troll Go away\r\nsp?m*\r\n", "BadWord\r\nworse\r\n");
    const QByteArray talk = Gw::TalkLine("hank", "0010", "hi");
    const QByteArray flood = Gw::TalkLine("ivan", "0010", "hi");
    const RuleCase cases[] = {
        {"a banned name joins", {Gw::JoinLine("TROLL", "0010", "CHAT")}, "/ban TROLL Go away\r\n"},
        {"a wildcard pattern without reason",
         {Gw::JoinLine("spamBot9", "0010", "CHAT")},
         "/ban spamBot9\r\n"},
        {"a listed name at entry is not greeted", {Gw::UserLine("carol", "0010", "CHAT")}, ""},
        {"an arrival is greeted",
         {Gw::JoinLine("carol", "0010", "CHAT")},
         "Welcome to Lobby, carol.\r\n"},
        {"a phrase in any letter case",
         {Gw::TalkLine("dave", "0010", "you BADWORD you")},
         "/ban dave Watch your language.\r\n"},
        {"a phrase in an emote",
         {Gw::EmoteLine("erin", "0010", "is worse")},
         "/ban erin Watch your language.\r\n"},
        {"three lines are no flood", {talk, talk, talk}, ""},
        {"the fourth line within the window is, once",
         {flood, flood, flood, flood, flood, flood},
         "/kick ivan Flooding.\r\n"},
        {"a listed user", {Gw::TalkLine("ALICE", "0010", "badword")}, ""},
        {"the master name",
         {Gw::JoinLine("QuEnDaR", "0010", "CHAT"), Gw::TalkLine("QuEnDaR", "0010", "badword")},
         ""},
        {"the bot itself", {Gw::TalkLine("bot1", "0010", "badword")}, ""},
        {"an administrator", {Gw::JoinLine("troll", "0001", "CHAT")}, ""},
        {"a temporary operator", {Gw::TalkLine("frank", "0002", "badword")}, ""},
        {"a channel operator", {Gw::EmoteLine("frank", "0008", "badword")}, ""},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Exchange(c.lines), c.sent);
    }
}

TEST_F(ChannelGuardTest, TheBanListComesBeforeTheLockdownAndTheLockdownBeforeTheGreeting) {
    Start(Ini("Enabled=1\r\nText=Hello %user%\r\n", "Enabled=1\r\nReason=Closed.\r\n", "", ""));
    EXPECT_EQ(Exchange({Gw::JoinLine("troll", "0010", "CHAT")}), "/ban troll Go away\r\n");
    EXPECT_EQ(Exchange({Gw::JoinLine("dave", "0010", "CHAT")}), "/kick dave Closed.\r\n");
    EXPECT_EQ(Exchange({Gw::JoinLine("alice", "0010", "CHAT")}), "");
}

TEST_F(ChannelGuardTest, WithoutOperatorStatusOnlyTheGreetingGoesAndThePaneSaysWhyOnce) {
    Start(kExample, "troll\r\n", "badword\r\n", /*op=*/false);
    EXPECT_EQ(
        Exchange({Gw::JoinLine("troll", "0010", "CHAT"), Gw::TalkLine("dave", "0010", "badword"),
                  Gw::JoinLine("carol", "0010", "CHAT")}),
        "Welcome to Lobby, carol.\r\n");
    const QString wait =
        QStringLiteral("Channel protection in Lobby waits for operator status to kick or ban.");
    EXPECT_EQ(harness.pane.Text().count(wait), 1);
    EXPECT_EQ(Exchange({Gw::TalkLine("dave", "0010", "badword")}), "");
    EXPECT_EQ(harness.pane.Text().count(wait), 1);
    // Once per channel: the next channel says it again.
    EXPECT_EQ(Exchange({Gw::ChannelLine("Backstage"), Gw::UserLine("bot1", "0010", "CHAT"),
                        Gw::TalkLine("dave", "0010", "badword")}),
              "");
    EXPECT_EQ(harness.pane.Text().count(QStringLiteral(
                  "Channel protection in Backstage waits for operator status to kick or ban.")),
              1);
}

TEST_F(ChannelGuardTest, BecomingOperatorAppliesTheBanListAndTheLockdownToEveryonePresent) {
    Start(Ini("", "Enabled=1\r\nReason=Closed.\r\n", "", ""), "troll\r\n", "", /*op=*/false);
    EXPECT_EQ(
        Exchange({Gw::ChannelLine("Lobby"), Gw::UserLine("bot1", "0010", "CHAT"),
                  Gw::UserLine("dave", "0010", "CHAT"), Gw::UserLine("alice", "0010", "CHAT"),
                  Gw::UserLine("troll", "0010", "CHAT"), Gw::UserLine("staff", "0001", "CHAT"),
                  Gw::UserLine("promoted", "0010", "CHAT"), "1009 USER promoted 0008",
                  // Operators known only from a flags line ahead of their entry, or only from
                  // what they said, are left alone as well.
                  "1009 USER early 0002", Gw::UserLine("talker", "0000", "CHAT"),
                  Gw::TalkLine("talker", "0002", "hi")}),
        "");
    EXPECT_EQ(Exchange({"1009 USER bot1 0002", "1009 USER bot1 0002"}),
              "/kick dave Closed.\r\n/ban troll\r\n");
    // The bot's own list line may already say it is operator.
    EXPECT_EQ(Exchange({Gw::ChannelLine("Backstage"), Gw::UserLine("bot1", "0008", "CHAT"),
                        Gw::UserLine("erin", "0010", "CHAT")}),
              "/kick erin Closed.\r\n");
}

// The bot's own flags are kept like anybody's: after a logon under another name, the row of the
// old one is an operator the rules leave alone.
TEST_F(ChannelGuardTest, TheBotsFormerNameKeepsTheFlagsItWasLastSeenWith) {
    Start(Ini("", "Enabled=1\r\nReason=Closed.\r\n", "", ""), "bot*\r\n", "", /*op=*/false);
    EXPECT_EQ(Exchange({"1009 USER bot1 0002", Gw::NameLine("bot2"), "1009 USER bot2 0010",
                        "1009 USER bot2 0002"}),
              "");
}

TEST_F(ChannelGuardTest, ARefusedBanBecomesAKickOnceAndNeverForAUserWhoLeft) {
    Start(kExample, "troll Go away\r\nimp*\r\n", "");
    const QByteArray refusal =
        Gw::ErrorLine("You have to be at least a Channel Operator to use this command.");
    gateway.WhenReceived("/ban troll Go away\r\n", [&] { gateway.SendLine(refusal); });
    EXPECT_EQ(Exchange({Gw::JoinLine("troll", "0010", "CHAT")}), "/ban troll Go away\r\n");
    // The refusal reaches the bot after the ban left, and the kick follows it.
    ASSERT_TRUE(
        gateway.WaitForReceived("/ban troll Go away\r\n"
                                "ZaRiVoK Trigger is: !\r\n/kick troll Go away\r\n"));
    // Another error later answers nothing: the ban had its answer.
    EXPECT_EQ(Exchange({refusal}), "");

    gateway.WhenReceived("/ban imp1\r\n", [&] {
        gateway.SendLine(Gw::LeaveLine("imp1", "0010"));
        gateway.SendLine(refusal);
    });
    EXPECT_EQ(Exchange({Gw::JoinLine("imp1", "0010", "CHAT")}), "/ban imp1\r\n");
    // The leave and the refusal went out before this exchange's marker.
    EXPECT_EQ(Exchange({}), "");
}

TEST_F(ChannelGuardTest, FloodCountingStartsAgainWhenTheUserLeaves) {
    Start(Ini("", "", "", "Enabled=1\r\nLines=2\r\nSeconds=10\r\nAction=ban\r\nReason=Flood\r\n"),
          "", "");
    const QByteArray talk = Gw::TalkLine("dave", "0010", "hi");
    EXPECT_EQ(Exchange({talk, talk}), "");
    EXPECT_EQ(
        Exchange({Gw::LeaveLine("dave", "0010"), Gw::JoinLine("dave", "0010", "CHAT"), talk, talk}),
        "");
    now += 10'000;  // the window has passed
    EXPECT_EQ(Exchange({talk, talk}), "");
    EXPECT_EQ(Exchange({talk}), "/ban dave Flood\r\n");
}

TEST_F(ChannelGuardTest, AWaitingGreetingHoldsBackTheNextOnes) {
    Start(kExample, "", "");
    const qint64 frozen = queueNow;
    out().SetClock([frozen] { return frozen; });  // the budget is spent and stays spent
    for (int i = 0; i < 4; ++i) out().SendChatText(QStringLiteral("x"));
    QByteArray joins;
    for (const char* name : {"u1", "u2", "u3", "u4"})
        joins += Gw::WireLine(Gw::JoinLine(name, "0010", "CHAT"));
    gateway.Send(joins + Gw::WireLine(Gw::TalkLine("QuEnDaR", "0010", "?trigger")));
    ASSERT_TRUE(Gw::WaitUntil([&] { return out().QueuedLines() == 2; }));
    out().SetClock([this] { return queueNow += 10000; });
    out().PumpQueue();
    ASSERT_TRUE(gateway.WaitForReceived(kMarker));
    const QByteArray received = gateway.Received();
    EXPECT_EQ(received.count("Welcome to Lobby"), 1);
    EXPECT_TRUE(received.contains("Welcome to Lobby, u1.\r\nZaRiVoK Trigger is: !\r\n"));
}

TEST_F(ChannelGuardTest, ThirtyBannedArrivalsArePacedWithoutAFlood) {
    Start(kExample, "bad*\r\n", "");
    qint64 clock = 5'000'000;
    gateway.SetFloodControl(true);
    gateway.SetClock([&] { return clock; });
    out().SetClock([&] { return clock; });
    QByteArray joins;
    for (int i = 0; i < 30; ++i) {
        joins += Gw::WireLine(Gw::JoinLine("bad" + QByteArray::number(i), "0010", "CHAT"));
    }
    gateway.Send(joins);
    QSignalSpy sent(&out(), &Outgoing::LineSent);
    ASSERT_TRUE(Gw::WaitUntil([&] { return out().QueuedLines() == 26; }));
    for (int step = 0; step < 2000 && sent.count() < 30; ++step) {
        clock += 100;
        out().PumpQueue();
        // What left reaches the gateway before the next step, so its flood rule sees the times.
        ASSERT_TRUE(
            Gw::WaitUntil([&] { return gateway.Received().count("/ban bad") == sent.count(); }));
    }
    EXPECT_EQ(gateway.Received().count("/ban bad"), 30);
    EXPECT_EQ(gateway.RefusedCount(), 0);
    EXPECT_FALSE(gateway.WasFloodDisconnected());
    // Four units in any six seconds: 30 bans take seven windows at least.
    EXPECT_GE(clock - 5'000'000, 7 * 6000 - 6000);
}

struct CommandCase {
    const char* name;
    QByteArray text;
    QByteArray sent;
    const char* file = nullptr;  // the file the command changes
    QByteArray content = {};     // what the file then holds, in part
};

TEST_F(ChannelGuardTest, TheCommandsChangeAndSaveTheirFiles) {
    Start(kExample, "troll Go away\r\n", "badword\r\n");
    const CommandCase cases[] = {
        {"lockdown on", "!LOCKDOWN ON", "Lockdown is on.\r\n", "Protection.ini",
         "[Lockdown]\r\nEnabled=1\r\nReason=This channel is closed.\r\n"},
        {"lockdown off", "!lockdown off", "Lockdown is off.\r\n", "Protection.ini",
         "[Lockdown]\r\nEnabled=0\r\n"},
        {"lockdown with more words", "!lockdown on now", ""},
        {"greet off", "!greet off", "Greeting is off.\r\n", "Protection.ini",
         "[Greet]\r\nEnabled=0\r\n"},
        {"greet on", "!greet on", "Greeting is on.\r\n", "Protection.ini",
         "[Greet]\r\nEnabled=1\r\n"},
        {"setgreet keeps the letter case", "!SetGreet Hi %User%!", "Greeting set.\r\n",
         "Protection.ini", "Text=Hi %User%!\r\n"},
        {"autoban with a reason", "!autoban bad* No bad names", "Added bad* to the ban list.\r\n",
         "Banlist.txt", "troll Go away\r\nbad* No bad names\r\n"},
        {"autoban without", "!autoban x?y", "Added x?y to the ban list.\r\n", "Banlist.txt",
         "bad* No bad names\r\nx?y\r\n"},
        {"unautoban in other letter case", "!unautoban TROLL",
         "Removed TROLL from the ban list.\r\n", "Banlist.txt", "bad* No bad names\r\nx?y\r\n"},
        {"unautoban of nothing listed", "!unautoban nobody",
         "Error: nobody is not on the ban list.\r\n"},
        {"phrase", "!phrase not nice", "Added not nice to the phrase list.\r\n", "Phrases.txt",
         "badword\r\nnot nice\r\n"},
        {"unphrase", "!unphrase BADWORD", "Removed BADWORD from the phrase list.\r\n",
         "Phrases.txt", "not nice\r\n"},
        {"unphrase of nothing listed", "!unphrase gone",
         "Error: gone is not on the phrase list.\r\n"},
        {"protection", "!protection",
         "Protection: greeting on, lockdown off, phrases on (kick), flood on (5 lines in 5 s, "
         "kick); 2 ban pattern(s), 1 phrase(s); operator: yes.\r\n"},
        {"an unlisted speaker", "!lockdown on", ""},
    };
    for (const CommandCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray speaker = QByteArray(c.name) == "an unlisted speaker" ? "dave" : "alice";
        EXPECT_EQ(Exchange({Gw::TalkLine(speaker, "0010", c.text)}), c.sent);
        if (c.file != nullptr) {
            EXPECT_TRUE(harness.ReadFile(c.file).contains(c.content))
                << harness.ReadFile(c.file).constData();
        }
    }
    EXPECT_FALSE(guard().Settings().lockdownEnabled);
    EXPECT_EQ(guard().Settings().greetText, "Hi %User%!");
}

TEST_F(ChannelGuardTest, CommandsActOnWhoIsThere) {
    Start(Ini("", "Enabled=0\r\nReason=Closed.\r\n", "", ""), "", "");
    EXPECT_EQ(
        Exchange({Gw::UserLine("dave", "0010", "CHAT"), Gw::UserLine("erin", "0010", "CHAT")}), "");
    gateway.WhenReceived("/ban dave\r\n", [&] { gateway.SendLine(Gw::LeaveLine("dave", "0010")); });
    EXPECT_EQ(Exchange({Gw::TalkLine("alice", "0010", "!autoban DAVE")}),
              "Added DAVE to the ban list.\r\n/ban dave\r\n");
    EXPECT_EQ(Exchange({Gw::TalkLine("alice", "0010", "!lockdown on")}),
              "Lockdown is on.\r\n/kick erin Closed.\r\n");
}

TEST_F(ChannelGuardTest, NewFilesAreTheOwnersAloneAndOldOnesKeepTheirMode) {
    Start(kExample, "", QByteArray());
    ASSERT_EQ(::chmod(QFile::encodeName(harness.Path("Protection.ini")).constData(), 0644), 0);
    Exchange(
        {Gw::TalkLine("alice", "0010", "!phrase x"), Gw::TalkLine("alice", "0010", "!greet off")});
    EXPECT_EQ(FileMode(harness.Path("Phrases.txt")), 0600);
    EXPECT_EQ(FileMode(harness.Path("Protection.ini")), 0644);
}

TEST_F(ChannelGuardTest, BadFilesSayOneRedLineEachAndTurnOnlyTheirFeatureOff) {
    harness.WriteFile("Phrases.txt", "");
    QDir(harness.Folder()).mkdir("Banlist.txt");
    Start(Ini("Enabled=1\r\nText=Hi\r\n", "", "Enabled=1\r\nAction=shout\r\n",
              "Enabled=1\r\nLines=five\r\nSeconds=5\r\n"),
          QByteArray(), QByteArray());
    const QString pane = harness.pane.Text();
    EXPECT_EQ(pane.count("Protection.ini"), 2);
    EXPECT_TRUE(pane.contains("\"Phrases/Action\" is \"shout\""));
    EXPECT_TRUE(pane.contains("\"Flood/Lines\" is \"five\""));
    EXPECT_TRUE(pane.contains("Banlist.txt"));
    const ProtectionSettings& s = guard().Settings();
    EXPECT_FALSE(s.phrasesEnabled);
    EXPECT_FALSE(s.floodEnabled);
    EXPECT_TRUE(s.greetEnabled);
    EXPECT_EQ(guard().Bans().Size(), 0);

    // An editor that could not read a file may not replace it with the empty list it shows.
    const QByteArray ini = harness.ReadFile("Protection.ini");
    const ProtectionFiles files = guard().ReadForEditing();
    EXPECT_FALSE(guard().Save(files.texts, "troll\n", ""));
    EXPECT_EQ(harness.ReadFile("Protection.ini"), ini);
    EXPECT_TRUE(harness.pane.Text().contains("Channel protection not saved"));
}

// The real server's capture: its flags for the bot are what operator status is read from.
TEST(ChannelGuardCaptureTest, OperatorStatusFollowsTheRealServersFlagsForTheBot) {
    QFile capture(QStringLiteral(ZARIVOK_FIXTURES_DIR "/sessions/channel-session.bin"));
    ASSERT_TRUE(capture.open(QIODevice::ReadOnly));
    Gw gateway;
    gateway.SetLoginScript(false);
    BotHarness harness;
    harness.WriteConfig(gateway.Port());
    QStringList changes;
    QObject::connect(&harness.bot().Guard(), &ChannelGuard::OperatorChanged, [&](bool on) {
        changes.append(harness.bot().CurrentChannel() + (on ? u'+' : u'-'));
    });
    harness.bot().GetConnection().ConnectMenuClick();
    ASSERT_TRUE(gateway.WaitForConnections(1));
    ASSERT_TRUE(gateway.SendAndFlush(capture.readAll()));
    gateway.SendLine(Gw::InfoLine("end of the capture"));
    ASSERT_TRUE(Gw::WaitUntil([&] { return harness.pane.Text().contains("end of the capture"); }));
    // Not operator in Chat; tempOP on entering Lobby, the 0000 before leaving it; tempOP again in
    // a channel of its own, carried into Lobby by the bot's own list line and taken away by the
    // 0000 after it.
    EXPECT_EQ(changes, QStringList({"Lobby+", "Lobby-", "Brand New Channel+", "Brand New Channel-",
                                    "Lobby+", "Lobby-"}));
}

}  // namespace
}  // namespace zarivok
