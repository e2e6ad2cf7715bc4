#include <gtest/gtest.h>

#include <QTimer>

#include "support/BotHarness.h"

namespace zarivok {
namespace {

using testing::BotHarness;

struct LineCase {
    const char* name;
    QByteArray received;
    // The pane's runs in snapshot form: "colour|text", CR and LF written as \r and \n.
    const char* transcript;
};

// Server lines in, pane runs out, through the whole receive pipeline.
TEST(MessageEventsTest, EachEventRendersWithItsTextsAndColours) {
    const LineCase cases[] = {
        {"talk, plain flags", "1005 TALK bob 0010 \"hi\"\r\n",
         "yellow|[9:05:03 PM] <bob> \nwhite|hi\\r\\n\n"},
        {"talk, operator", "1005 TALK bob 0012 \"hi\"\r\n",
         "white|[9:05:03 PM] <bob> \nwhite|hi\\r\\n\n"},
        {"talk, administrator", "1005 TALK bob 0011 \"hi\"\r\n",
         "cyan|[9:05:03 PM] <bob> \ncyan|hi\\r\\n\n"},
        {"talk, other fourth digit", "1005 TALK bob 0013 \"hi\"\r\n",
         "yellow|[9:05:03 PM] <bob> \nwhite|hi\\r\\n\n"},
        {"talk, operator digit followed by more", "1005 TALK bob 00120 \"hi\"\r\n",
         "yellow|[9:05:03 PM] <bob> \nwhite|hi\\r\\n\n"},
        {"talk, three-digit flags", "1005 TALK bob 002 \"hi\"\r\n",
         "yellow|[9:05:03 PM] <bob> \nwhite|hi\\r\\n\n"},
        {"talk, empty message", "1005 TALK bob 0010 \"\"\r\n",
         "yellow|[9:05:03 PM] <bob> \nwhite|\\r\\n\n"},
        {"whisper from", "1004 WHISPER alice 0001 \"psst\"\r\n",
         "yellow|[9:05:03 PM] <From: alice> \ngrey|psst\\r\\n\n"},
        {"whisper to", "1010 WHISPER bob 0000 \"hey\"\r\n",
         "cyan|[9:05:03 PM] <To: bob> \ngrey|hey\\r\\n\n"},
        {"broadcast", "1006 _ \"Announcement from alice: hi\"\r\n",
         "red|[9:05:03 PM] Announcement from alice: hi\\r\\n\n"},
        {"channel full", "1013 CHANNELFULL \"Tiny\"\r\n",
         "green|[9:05:03 PM] Channel Tiny is full\\r\\n\n"},
        {"channel missing", "1014 CHANNELDOESNOTEXIST \"Nope\"\r\n",
         "green|[9:05:03 PM] Channel Nope does not exist\\r\\n\n"},
        {"channel restricted", "1015 CHANNELRESTRICTED \"Ops\"\r\n",
         "green|[9:05:03 PM] Channel Ops is restricted\\r\\n\n"},
        {"info 1016", "1016 INFO \"note\"\r\n", "yellow|[9:05:03 PM] note\\r\\n\n"},
        {"info 1018", "1018 INFO \"note\"\r\n", "yellow|[9:05:03 PM] note\\r\\n\n"},
        {"info 3000", "3000 INFO \"note\"\r\n", "yellow|[9:05:03 PM] note\\r\\n\n"},
        {"error", "1019 ERROR \"bad\"\r\n", "red|[9:05:03 PM] bad\\r\\n\n"},
        {"emote", "1023 EMOTE bob 0010 \"waves\"\r\n", "yellow|[9:05:03 PM] <bob waves>\\r\\n\n"},
        {"logon", "2010 NAME bot1\r\n", "green|Successfully logged in as bot1\\r\\n\n"},
        {"classic login refusal", "Login incorrect.\r\n", "red|Your Login is Incorrect\\r\\n\n"},
        {"today's login refusal", "Login failed.\r\n", "red|Your Login is Incorrect\\r\\n\n"},
        {"refusal in lower case", "login incorrect.\r\n", ""},
        {"other plain line", "Password: \r\n", ""},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        BotHarness harness;
        harness.Feed(c.received);
        EXPECT_EQ(harness.pane.Transcript().toStdString(), c.transcript);
    }
}

TEST(MessageEventsTest, LinesAreTakenApartAsTheServerMeansThem) {
    const LineCase cases[] = {
        {"two lines in one arrival", "1006 X \"hello\"\r\n1019 X \"bad\"\r\n",
         "red|[9:05:03 PM] hello\\r\\n\nred|[9:05:03 PM] bad\\r\\n\n"},
        {"runs of blanks between fields", "1005   TALK  bob   0010  \"hi\"\r\n",
         "yellow|[9:05:03 PM] <bob> \nwhite|hi\\r\\n\n"},
        {"quotes inside the message", "1005 TALK bob 0010 \"he said \"hi\" ok\"\r\n",
         "yellow|[9:05:03 PM] <bob> \nwhite|he said \"hi\" ok\\r\\n\n"},
        {"the only quote ends the line", "1019 ERROR \"\r\n", "red|[9:05:03 PM] \\r\\n\n"},
        {"talk without flags is dropped", "1005 TALK bob \"hi\"\r\n", ""},
        {"user without product is dropped", "1001 USER bob 0010\r\n", ""},
        {"below the event codes", "0999 X \"x\"\r\n", ""},
        {"above the event codes", "3001 X \"x\"\r\n", ""},
        {"unknown code 1008", "1008 X \"x\"\r\n", ""},
        {"unknown code 2000", "2000 X \"x\"\r\n", ""},
        {"code field longer than four digits", "10051 TALK bob 0010 \"hi\"\r\n", ""},
        {"logon without a quote", "2010 NAME bot1 extra\r\n",
         "green|Successfully logged in as bot1\\r\\n\n"},
        {"empty lines", "\r\n\r\n\n\r", ""},
        {"bare LF and bare CR end lines", "1018 INFO \"a\"\n1018 INFO \"b\"\r1018 INFO \"c\"\r\n",
         "yellow|[9:05:03 PM] a\\r\\n\nyellow|[9:05:03 PM] b\\r\\n\nyellow|[9:05:03 PM] c\\r\\n\n"},
        {"windows-1252 text", "1005 TALK bob 0010 \"caf\xe9\"\r\n",
         "yellow|[9:05:03 PM] <bob> \nwhite|caf\xc3\xa9\\r\\n\n"},
    };
    for (const LineCase& c : cases) {
        SCOPED_TRACE(c.name);
        BotHarness harness;
        harness.Feed(c.received);
        EXPECT_EQ(harness.pane.Transcript().toStdString(), c.transcript);
    }
}

TEST(MessageEventsTest, AnUnfinishedLineWaitsForTheRestOfIt) {
    BotHarness harness;
    harness.Feed("1018 INFO \"first\"\r\n1018 IN");
    EXPECT_EQ(harness.pane.Runs().size(), 1);
    harness.Feed("FO \"second\"\r");
    harness.Feed("\n");
    EXPECT_EQ(harness.pane.Transcript().toStdString(),
              "yellow|[9:05:03 PM] first\\r\\n\nyellow|[9:05:03 PM] second\\r\\n\n");
}

// Loading the user database lets events run; an arrival handled meanwhile finishes the line that
// the outer arrival left unfinished, and the outer arrival's remaining lines follow after it.
TEST(MessageEventsTest, AnArrivalDuringDispatchIsHandledInsideIt) {
    BotHarness harness;
    harness.WriteFile("Users.txt", "alice\r\n");
    QTimer::singleShot(0, [&] { harness.Feed("line\"\r\n1018 INFO \"nested\"\r\n"); });
    harness.Feed("2010 NAME bot1\r\n1018 INFO \"after\"\r\n1018 INFO \"half");
    EXPECT_EQ(harness.pane.Transcript().toStdString(),
              "yellow|[9:05:03 PM] halfline\\r\\n\n"
              "yellow|[9:05:03 PM] nested\\r\\n\n"
              "green|Successfully logged in as bot1\\r\\n\n"
              "yellow|[9:05:03 PM] after\\r\\n\n");
}

TEST(MessageEventsTest, AServerCutLineEndsAfter255BytesAndKeepsItsText) {
    BotHarness harness;
    const QByteArray head = "1005 TALK bob 0000 \"";
    const QByteArray text(255 - head.size(), 'x');
    harness.Feed(head + text + "1018 INFO \"next\"\r\n");
    ASSERT_EQ(harness.pane.Runs().size(), 3);
    EXPECT_EQ(harness.pane.Runs()[1].text, QString::fromLatin1(text) + "\r\n");
    EXPECT_EQ(harness.pane.Runs()[2].text, QStringLiteral("[9:05:03 PM] next\r\n"));
}

TEST(MessageEventsTest, AReceivedWhisperAlsoGoesToTheWhisperPane) {
    BotHarness harness;
    testing::RecordingPane whispers;
    harness.bot().SetWhisperPane(&whispers);
    harness.Feed("1004 WHISPER alice 0001 \"psst\"\r\n1010 WHISPER bob 0000 \"out\"\r\n");
    EXPECT_EQ(whispers.Transcript().toStdString(),
              "yellow|[9:05:03 PM] <From: alice> \ngrey|psst\\r\\n\n");
    EXPECT_EQ(harness.pane.Runs().size(), 4);
}

TEST(MessageEventsTest, LogonSetsNameAndCaptionAfterReloadingTheUserDatabase) {
    BotHarness harness;
    harness.WriteFile("Users.txt", "alice\r\n");
    harness.Feed("2010 NAME bot1\r\n");
    EXPECT_EQ(harness.bot().strName(), QStringLiteral("bot1"));
    EXPECT_EQ(harness.bot().Caption(), QStringLiteral("ZaRiVoK v3.0b1 - bot1"));
    EXPECT_EQ(harness.bot().UserList().Entries(), QStringList{"alice"});
}

}  // namespace
}  // namespace zarivok
