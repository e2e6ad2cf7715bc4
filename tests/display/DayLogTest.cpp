#include <gtest/gtest.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMap>
#include <functional>
#include <memory>
#include <optional>

#include "connection/Connection.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"
#include "support/WriteProtection.h"

namespace zarivok {
namespace {

using testing::BotHarness;

const QDate kDay(2024, 3, 9);

qint64 At(const QDate& date, const QTime& time) {
    return QDateTime(date, time).toMSecsSinceEpoch();
}

void SetLogClock(BotHarness& h, qint64 ms) {
    h.bot().Output().Log()->SetClock([ms] { return ms; });
}

// Every file in the logs folder with its contents.
QMap<QString, QByteArray> LogFiles(const BotHarness& h) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(h.Path(QStringLiteral("logs"))).entryList(QDir::Files)) {
        files[name] = h.ReadFile(QStringLiteral("logs/") + name);
    }
    return files;
}

// The red lines that speak of the day log.
QStringList LogProblems(const BotHarness& h) {
    QStringList lines;
    for (const auto& run : h.pane.Runs()) {
        if (run.colour == kRed && run.text.contains(QStringLiteral("day log"))) {
            lines.append(run.text);
        }
    }
    return lines;
}

// Where and when the collected lines reach the file.
TEST(DayLogTest, LinesReachTheFileAtTheEndOfAnArrivalAtQuitAndSoonOtherwise) {
    struct Case {
        const char* name;
        std::function<void(BotHarness&)> write;
        QByteArray line;
        // Lines written outside an arrival are collected, not written one by one.
        bool writtenOnceTheEventLoopRuns;
    };
    const Case cases[] = {
        {.name = "an arrival from the server",
         .write =
             [](BotHarness& h) {
                 h.Feed(ChatGateway::WireLine(ChatGateway::TalkLine("alice", "0010", "one")) +
                        ChatGateway::WireLine(ChatGateway::TalkLine("bob", "0010", "two")));
             },
         .line = "[9:05:03 PM] <alice> one\n[9:05:03 PM] <bob> two\n",
         .writtenOnceTheEventLoopRuns = false},
        {.name = "the last line before quitting",
         .write =
             [](BotHarness& h) {
                 h.bot().AppendChat(QStringLiteral("last words\r\n"), kGreen);
                 h.bot().Quit();
             },
         .line = "last words\n",
         .writtenOnceTheEventLoopRuns = false},
        {.name = "an operator's line",
         .write = [](BotHarness& h) { h.bot().AppendChat(QStringLiteral("typed\r\n"), kGreen); },
         .line = "typed\n",
         .writtenOnceTheEventLoopRuns = true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BotHarness h;
        SetLogClock(h, At(kDay, QTime(12, 0)));
        c.write(h);
        const auto logged = [&] { return h.ReadFile(QStringLiteral("logs/2024-03-09.log")); };
        if (c.writtenOnceTheEventLoopRuns) {
            EXPECT_EQ(logged(), QByteArray());
            EXPECT_TRUE(ChatGateway::WaitUntil([&] { return logged() == c.line; }));
        } else {
            EXPECT_EQ(logged(), c.line);
        }
    }
}

TEST(DayLogTest, EachLineGoesToTheFileOfTheLocalDateItBeginsOn) {
    struct Line {
        qint64 at;
        const char* text;
    };
    struct Case {
        const char* name;
        QList<Line> lines;
        QMap<QString, QByteArray> files;
    };
    const QDate next = kDay.addDays(1);
    const Case cases[] = {
        {.name = "the first line of a new date begins a new file",
         .lines = {{At(kDay, QTime(0, 0)), "first"},
                   {At(kDay, QTime(23, 59, 59, 999)), "late"},
                   {At(next, QTime(0, 0)), "early"}},
         .files = {{"2024-03-09.log", "first\nlate\n"}, {"2024-03-10.log", "early\n"}}},
        {.name = "days without a line leave no file",
         .lines = {{At(kDay, QTime(8, 0)), "a"}, {At(kDay.addDays(7), QTime(8, 0)), "b"}},
         .files = {{"2024-03-09.log", "a\n"}, {"2024-03-16.log", "b\n"}}},
        {.name = "a clock set back writes to the earlier date's file again",
         .lines = {{At(next, QTime(0, 0, 1)), "a"},
                   {At(kDay, QTime(23, 59, 59)), "b"},
                   {At(next, QTime(0, 0, 2)), "c"}},
         .files = {{"2024-03-09.log", "b\n"}, {"2024-03-10.log", "a\nc\n"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BotHarness h;
        for (const Line& line : c.lines) {
            SetLogClock(h, line.at);
            h.bot().AppendChat(QString::fromUtf8(line.text) + QStringLiteral("\r\n"), kGreen);
        }
        h.bot().Output().FlushLog();
        EXPECT_EQ(LogFiles(h), c.files);
    }
}

// The date is read once, where a line begins: its second run, written after midnight, does not
// split it over two files.
TEST(DayLogTest, ALineBegunBeforeMidnightStaysWhole) {
    BotHarness harness;
    QList<qint64> looks = {At(kDay, QTime(23, 59, 59, 999)), At(kDay.addDays(1), QTime(0, 0))};
    harness.bot().Output().Log()->SetClock(
        [&looks] { return looks.size() > 1 ? looks.takeFirst() : looks.first(); });
    harness.bot().AppendChat(QStringLiteral("[11:59:59 PM] <alice> "), kYellow,
                             QStringLiteral("good night\r\n"), kWhite);
    harness.bot().AppendChat(QStringLiteral("good morning\r\n"), kGreen);
    harness.bot().Output().FlushLog();
    EXPECT_EQ(LogFiles(harness),
              (QMap<QString, QByteArray>{{"2024-03-09.log", "[11:59:59 PM] <alice> good night\n"},
                                         {"2024-03-10.log", "good morning\n"}}));
}

// Whatever stops the log is said once, in red, naming the file and the reason; the pane goes on,
// and the next date tries again.
TEST(DayLogTest, AFailureIsSaidOnceAndTheNextDateTriesAgain) {
    struct Case {
        const char* name;
        // Breaks the log's folder or file; the returned object mends it when it is destroyed.
        std::function<std::shared_ptr<void>(const BotHarness&)> breakLog;
        const char* reason;
    };
    const Case cases[] = {
        {.name = "a plain file where the folder should be",
         .breakLog =
             [](const BotHarness& h) {
                 h.WriteFile(QStringLiteral("logs"), "not a folder");
                 return std::shared_ptr<void>(
                     nullptr, [path = h.Path("logs")](void*) { QFile::remove(path); });
             },
         .reason = "logs is a file, not a folder"},
        {.name = "a folder that cannot be written to",
         .breakLog =
             [](const BotHarness& h) {
                 QDir(h.Folder()).mkdir(QStringLiteral("logs"));
                 return std::shared_ptr<void>(std::make_shared<WriteProtection>(h.Path("logs")));
             },
         .reason = "Permission denied"},
        {.name = "a full disk",
         .breakLog =
             [](const BotHarness& h) {
                 QDir(h.Folder()).mkdir(QStringLiteral("logs"));
                 const QString file = h.Path(QStringLiteral("logs/2024-03-09.log"));
                 QFile::link(QStringLiteral("/dev/full"), file);
                 return std::shared_ptr<void>(nullptr, [file](void*) { QFile::remove(file); });
             },
         .reason = "No space left on device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BotHarness h;
        const auto problems = [&h] { return LogProblems(h); };
        SetLogClock(h, At(kDay, QTime(12, 0)));
        {
            const std::shared_ptr<void> broken = c.breakLog(h);
            for (int i = 0; i < 3; ++i) {
                h.Feed(ChatGateway::WireLine(ChatGateway::TalkLine("alice", "0010", "talk")));
            }
            h.bot().AppendChat(QStringLiteral("after\r\n"), kGreen);
            h.bot().Output().FlushLog();
            ASSERT_EQ(problems().size(), 1);
            EXPECT_TRUE(problems()[0].contains(h.Path(QStringLiteral("logs/2024-03-09.log"))))
                << problems()[0].toStdString();
            EXPECT_TRUE(problems()[0].contains(QLatin1String(c.reason)))
                << problems()[0].toStdString();
            EXPECT_TRUE(h.pane.Text().endsWith(QStringLiteral("after\r\n")));
        }
        SetLogClock(h, At(kDay.addDays(1), QTime(0, 0)));
        h.bot().AppendChat(QStringLiteral("a new day\r\n"), kGreen);
        h.bot().Output().FlushLog();
        EXPECT_EQ(problems().size(), 1);
        EXPECT_EQ(h.ReadFile(QStringLiteral("logs/2024-03-10.log")), "a new day\n");
    }
}

// Through the gateway: with the folder in the way the bot says so once and still answers its
// users; a connect (here the reconnect command) tries again.
TEST(DayLogTest, WithTheFolderInTheWayTheBotStillAnswersAndTheNextConnectTriesAgain) {
    BotHarness harness;
    SetLogClock(harness, At(kDay, QTime(12, 0)));
    ChatGateway gateway;
    harness.WriteConfig(gateway.Port());
    harness.WriteFile(QStringLiteral("Users.txt"), "alice\r\n");
    harness.WriteFile(QStringLiteral("logs"), "not a folder");
    harness.bot().LoadUserDatabase();
    ASSERT_TRUE(harness.LogIn());
    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "!say still here"));
    ASSERT_TRUE(gateway.WaitForReceived("still here\r\n"));
    EXPECT_EQ(LogProblems(harness).size(), 1);

    ASSERT_TRUE(QFile::remove(harness.Path(QStringLiteral("logs"))));
    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "!reconnect"));
    ASSERT_TRUE(gateway.WaitForConnections(2));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] {
        return harness.ReadFile(QStringLiteral("logs/2024-03-09.log"))
            .contains("Loaded Config.ini");
    }));
    EXPECT_EQ(LogProblems(harness).size(), 1);
}

}  // namespace
}  // namespace zarivok
