#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSet>

#include "channel/ProductIcons.h"
#include "support/BotHarness.h"

namespace zarivok {
namespace {

using testing::BotHarness;

struct RosterCase {
    const char* name;
    QByteArray received;
    const char* roster;  // "name icon[ yellow]" per entry
    const char* users;   // the count box
};

TEST(RosterEventsTest, TheListFollowsTheChannel) {
    const RosterCase cases[] = {
        {"entering a channel",
         "1007 CHANNEL \"Lobby\"\r\n1001 USER Alice 0010 [STAR]\r\n1001 USER Bob 0012 [CHAT]\r\n",
         "Alice 6 yellow\nBob 1 yellow\n", "Lobby (2)"},
        {"plain flags keep the product icon", "1001 USER u 0000 [W2BN]\r\n", "u 10\n", " (1)"},
        {"squelched", "1001 USER u 0020 [W2BN]\r\n", "u 14\n", " (1)"},
        {"squelched operator", "1001 USER u 0030 [W2BN]\r\n", "u 14\n", " (1)"},
        {"administrator", "1001 USER u 0001 [W2BN]\r\n", "u 15\n", " (1)"},
        {"voice", "1001 USER u 0004 [W2BN]\r\n", "u 17\n", " (1)"},
        {"channel operator flag 8", "1001 USER u 0008 [W2BN]\r\n", "u 10\n", " (1)"},
        {"unknown product", "1001 USER u 0000 [XXXX]\r\n", "u 12\n", " (1)"},
        {"product in other letter case", "1001 USER u 0000 [star]\r\n", "u 12\n", " (1)"},
        {"red cross product", "1001 USER u 0000 [BRX]\r\n", "u 14\n", " (1)"},
        {"every product",
         "1001 USER a 0 [CHAT]\r\n1001 USER b 0 [DRTL]\r\n1001 USER c 0 [DSHR]\r\n1001 USER d 0 "
         "[D2XP]\r\n"
         "1001 USER e 0 [STAR]\r\n1001 USER f 0 [SEXP]\r\n1001 USER g 0 [SSHR]\r\n1001 USER h 0 "
         "[W2BN]\r\n"
         "1001 USER i 0 [D2DV]\r\n1001 USER j 0 [JSTR]\r\n",
         "a 2\nb 3\nc 4\nd 13\ne 6\nf 9\ng 7\nh 10\ni 5\nj 11\n", " (10)"},
        {"a name joining twice stands twice; a leave removes the upper one",
         "1002 JOIN bob 0000 [CHAT]\r\n1002 JOIN amy 0000 [STAR]\r\n1002 JOIN bob 0000 "
         "[SEXP]\r\n1003 LEAVE bob 0000\r\n",
         "amy 6\nbob 9\n", " (2)"},
        {"a leave ignores letter case", "1001 USER ALICE 0000 [CHAT]\r\n1003 LEAVE Alice 0000\r\n",
         "", " (0)"},
        {"a leave of somebody unknown changes nothing",
         "1001 USER amy 0000 [CHAT]\r\n1003 LEAVE zed 0000\r\n", "amy 2\n", " (1)"},
        {"a flags change matches the exact name only",
         "1001 USER ALICE 0000 [CHAT]\r\n1009 USER Alice 0002\r\n", "ALICE 2\nAlice 1\n", " (1)"},
        {"squelch and unsquelch in place",
         "1001 USER a 0 [CHAT]\r\n1001 USER b 0 [CHAT]\r\n1001 USER c 0010 [STAR]\r\n1001 USER d 0 "
         "[CHAT]\r\n"
         "1009 USER c 0020\r\n",
         "a 2\nb 2\nc 14\nd 2\n", " (4)"},
        {"unsquelch replaces the red cross by the generic badge",
         "1001 USER c 0010 [STAR]\r\n1009 USER c 0020\r\n1009 USER c 0010\r\n", "c 12\n", " (1)"},
        {"plain flags leave the gavel", "1001 USER c 0002 [STAR]\r\n1009 USER c 0010\r\n", "c 1\n",
         " (1)"},
        {"a flags change puts the entry back in the normal colour",
         "1001 USER c 0010 [STAR]\r\n1009 USER c 0004\r\n", "c 17\n", " (1)"},
        {"a flags change for somebody unknown appends without counting",
         "1001 USER a 0000 [CHAT]\r\n1009 USER zed 0002\r\n", "a 2\nzed 1\n", " (1)"},
        {"the user's own entry after an early flags change takes its place",
         "1007 CHANNEL \"Lobby\"\r\n1009 USER bot1 0010\r\n1001 USER bot1 0010 [CHAT]\r\n"
         "1009 USER bot1 0002\r\n1009 USER bot1 0002\r\n",
         "bot1 1\n", "Lobby (1)"},
        {"entering the same channel again empties the list",
         "1007 CHANNEL \"Lobby\"\r\n1001 USER a 0000 [CHAT]\r\n1007 CHANNEL \"Lobby\"\r\n", "",
         "Lobby (0)"},
    };
    for (const RosterCase& c : cases) {
        SCOPED_TRACE(c.name);
        BotHarness harness;
        QAbstractItemModelTester tester(&harness.bot().Roster(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        harness.Feed(c.received);
        EXPECT_EQ(harness.RosterDump().toStdString(), c.roster);
        EXPECT_EQ(harness.bot().UserCountText().toStdString(), c.users);
    }
}

// The real server sends a user's flags before the user at times (its own 1009 before its 1001
// on every channel entry). Taken literally, each of those would list the user twice; the early
// flags change holds the place that the user's own entry then takes.
TEST(RosterEventsTest, TheRealServerNeverListsAnybodyTwice) {
    QFile capture(QStringLiteral(ZARIVOK_FIXTURES_DIR "/sessions/channel-session.bin"));
    ASSERT_TRUE(capture.open(QIODevice::ReadOnly));
    const QByteArray session = capture.readAll();
    BotHarness harness;
    int entries = 0;
    for (qsizetype start = 0; start < session.size();) {
        const qsizetype end = session.indexOf('\n', start);
        const qsizetype next = end < 0 ? session.size() : end + 1;
        harness.Feed(session.mid(start, next - start));
        start = next;
        if (harness.bot().CurrentChannel() == QStringLiteral("Lobby")) ++entries;
        QSet<QString> names;
        for (const RosterEntry& entry : harness.bot().Roster().Entries()) {
            EXPECT_FALSE(names.contains(entry.name))
                << entry.name.toStdString() << " twice after byte " << next;
            names.insert(entry.name);
        }
    }
    EXPECT_GT(entries, 0);
    EXPECT_TRUE(harness.RosterDump().contains(QStringLiteral("bot1 ")));
}

TEST(RosterEventsTest, EnteringAChannelSetsCaptionStatusHeaderAndOneGreenLine) {
    BotHarness harness;
    harness.Feed("2010 NAME Bot1\r\n");
    harness.pane.Clear();
    harness.Feed("1007 CHANNEL \"Lobby\"\r\n");
    EXPECT_EQ(harness.bot().Caption(),
              QStringLiteral("ZaRiVoK v3.0b1 - User Bot1 in channel Lobby. "));
    EXPECT_EQ(harness.bot().StatusText(2),
              QStringLiteral("User Bot1 using CHAT in channel Lobby. "));
    EXPECT_EQ(harness.bot().Roster().Header(), QStringLiteral("Lobby"));
    EXPECT_EQ(harness.bot().CurrentChannel(), QStringLiteral("Lobby"));
    EXPECT_EQ(harness.pane.Transcript().toStdString(),
              "green|[9:05:03 PM] Joined Channel: Lobby\\r\\n\n");
}

TEST(RosterEventsTest, JoinAndLeaveNoticesOnlyWhenTheSwitchIsOne) {
    for (const int notifications : {1, 0, 2}) {
        SCOPED_TRACE(notifications);
        BotHarness harness;
        harness.bot().UpdateSettings(
            [&](Settings& s) { s.intEnableNotifications = notifications; });
        harness.Feed("1002 JOIN Carol 0010 [SEXP]\r\n1003 LEAVE carol 0010\r\n");
        const std::string expected =
            notifications == 1
                ? "white|[9:05:03 PM] \ngreen|-- Carol has joined the channel using [SEXP].\\r\\n\n"
                  "white|[9:05:03 PM] \ngreen|-- carol has left the channel.\\r\\n\n"
                : "";
        EXPECT_EQ(harness.pane.Transcript().toStdString(), expected);
        EXPECT_EQ(harness.texts.Changes(), (QStringList{"users:  (1)", "users:  (0)"}));
    }
}

TEST(RosterEventsTest, IconChoiceByProductAndFlags) {
    EXPECT_EQ(GetProductIcon("[STAR]", "0010"), 6);
    EXPECT_EQ(GetProductIcon("[STAR]", "0012"), 1);
    EXPECT_EQ(GetProductIcon("", ""), 12);
    EXPECT_EQ(GetProductIcon("[CHAT]", "01"), 2);
    EXPECT_EQ(GetFlagsIcon("0010"), 12);
    EXPECT_EQ(GetFlagsIcon("0030"), 14);
    EXPECT_EQ(GetFlagsIcon("0022"), 1);
    EXPECT_EQ(GetFlagsIcon("0021"), 15);
    EXPECT_EQ(GetFlagsIcon("002"), 12);
}

}  // namespace
}  // namespace zarivok
