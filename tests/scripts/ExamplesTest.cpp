#include <gtest/gtest.h>

#include <QRegularExpression>

#include "scripts/ScriptsFixture.h"

namespace zarivok {
namespace {

using ExamplesTest = testing::ScriptsFixture;
using testing::Gw;

QByteArray Talk(const QByteArray& user, const QByteArray& text) {
    return Gw::TalkLine(user, "0010", text);
}

TEST_F(ExamplesTest, TheQuoteBookKeepsItsQuotes) {
    CopyExample("quotes.js");
    Scripts().Start();
    ASSERT_TRUE(harness.LogIn());
    EXPECT_EQ(Exchange({Talk("bob", "!quote")}),
              "The quote book is empty: add one with !addquote.\r\n");
    EXPECT_EQ(Exchange({Talk("bob", "!addquote not listed")}), "");
    EXPECT_EQ(Exchange({Talk("alice", "!addquote To be or not to be."),
                        Talk("alice", "!addquote Veni, vidi, vici.")}),
              "Quote 1 added.\r\nQuote 2 added.\r\n");
    EXPECT_EQ(Exchange({Talk("bob", "!quote 2"), Talk("bob", "!quote 3")}),
              "Quote 2: Veni, vidi, vici.\r\nThere are 2 quotes, from 1 to 2.\r\n");
    EXPECT_EQ(Exchange({Talk("alice", "!delquote 1"), Talk("bob", "!quote")}),
              "Quote 1 removed; 1 left.\r\nQuote 1: Veni, vidi, vici.\r\n");
    // Kept: a reload reads the book back.
    Scripts().Reload(QStringLiteral("quotes.js"));
    EXPECT_EQ(Exchange({Talk("bob", "!quote 1")}), "Quote 1: Veni, vidi, vici.\r\n");
}

TEST_F(ExamplesTest, TheAnnouncementComesAgainAndAgainUntilSwitchedOff) {
    // A third of a second between lines, set in the store as a command could not.
    QDir(harness.Folder()).mkdir(QStringLiteral("script-data"));
    harness.WriteFile("script-data/announce.json",
                      R"({"settings":{"minutes":0.005,"text":"Welcome, all."}})");
    CopyExample("announce.js");
    Scripts().Start();
    ASSERT_TRUE(harness.LogIn());
    ASSERT_TRUE(gateway.WaitForReceived("Welcome, all.\r\nWelcome, all.\r\n"));
    gateway.SendLine(Talk("alice", "!announce off"));
    ASSERT_TRUE(gateway.WaitForReceived("Announcement off.\r\n"));
    EXPECT_EQ(Exchange({Talk("alice", "!announce 0 x"), Talk("bob", "!announce off")}),
              "Say it like this: !announce 30 the line, or !announce off.\r\n");
    EXPECT_EQ(Exchange({Talk("alice", "!announce 45 Hello there"), Talk("alice", "!announce")}),
              "Announcing every 45 minutes.\r\nEvery 45 minutes: Hello there\r\n");
}

TEST_F(ExamplesTest, AGuessingRoundEndsWithTheNumberFoundAndARecord) {
    CopyExample("guess.js");
    Scripts().Start();
    ASSERT_TRUE(harness.LogIn());
    EXPECT_EQ(Exchange({Talk("bob", "!guess")}),
              "I think of a number from 1 to 100. Guess it: !guess 50.\r\n");
    // Halving the range finds any number in at most seven tries.
    int low = 1, high = 100;
    QByteArray answer;
    for (int round = 0; round < 7; ++round) {
        const int middle = (low + high) / 2;
        answer = Exchange({Talk("bob", "!guess " + QByteArray::number(middle))});
        if (answer.endsWith("is too low.\r\n")) {
            low = middle + 1;
        } else if (answer.endsWith("is too high.\r\n")) {
            high = middle - 1;
        } else {
            break;
        }
    }
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^bob got it: \\d+ in \\d tr(y|ies), a record!\r\n$"))
            .match(QString::fromLatin1(answer))
            .hasMatch())
        << answer.toStdString();
    Scripts().Stop();
    EXPECT_TRUE(harness.ReadFile("script-data/guess.json").contains("\"user\":\"bob\""));
}

}  // namespace
}  // namespace zarivok
