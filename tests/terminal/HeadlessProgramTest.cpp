#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <random>

#include "support/BotHarness.h"
#include "support/ChatGateway.h"
#include "support/WithoutColours.h"

namespace zarivok {
namespace {

// The real program, started as a user starts it, against the tests' own chat gateway.
class HeadlessProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.WriteConfig(gateway.Port());
        QObject::connect(&program, &QProcess::readyReadStandardOutput, [this] {
            out += program.readAllStandardOutput();
            if (onOutput) onOutput();
        });
        QObject::connect(&program, &QProcess::readyReadStandardError,
                         [this] { err += program.readAllStandardError(); });
    }

    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    }

    // ZARIVOK_PROGRAM_WRAPPER runs the program under a checker, e.g. "valgrind -q
    // --error-exitcode=99", which then turns any error it finds into a wrong exit code.
    // prefix: a command that runs the rest (the wrapper, the program and its arguments).
    void Start(const QStringList& extra = {}, const QStringList& prefix = {}) {
        QStringList command = prefix;
        command << qEnvironmentVariable("ZARIVOK_PROGRAM_WRAPPER").split(u' ', Qt::SkipEmptyParts);
        command << QStringLiteral(ZARIVOK_BINARY) << "--headless"
                << "--profile" << harness.Folder() << extra;
        program.start(command.takeFirst(), command);
        ASSERT_TRUE(program.waitForStarted(5000));
    }

    bool OutputHas(const QByteArray& needle) {
        return ChatGateway::WaitUntil([&] { return out.contains(needle); }, 30000);
    }

    // Ends the program with a signal and returns its exit code (-1 when it crashed).
    int Stop(int signalNumber) {
        ::kill(static_cast<pid_t>(program.processId()), signalNumber);
        return ExitCode();
    }

    // Waits for the program to end by itself; -1 when it crashed or did not end.
    int ExitCode() {
        const bool ended =
            ChatGateway::WaitUntil([&] { return program.state() == QProcess::NotRunning; }, 30000);
        if (!ended || program.exitStatus() != QProcess::NormalExit) return -1;
        return program.exitCode();
    }

    // The day logs in date order, as one text.
    QByteArray DayLogs() const {
        QByteArray all;
        const QDir logs(harness.Path(QStringLiteral("logs")));
        for (const QString& name : logs.entryList({"*.log"}, QDir::Files, QDir::Name)) {
            all += harness.ReadFile(QStringLiteral("logs/") + name);
        }
        return all;
    }

    ChatGateway gateway;
    testing::BotHarness harness;  // only its profile folder and config writer are used here
    QProcess program;
    QByteArray out;
    QByteArray err;
    // Runs after each piece of standard output is added to out.
    std::function<void()> onOutput;
};

QByteArray Talk(const QByteArray& speaker, const QByteArray& text) {
    return ChatGateway::WireLine(ChatGateway::TalkLine(speaker, "0010", text));
}

// Runs the program in a mount namespace of its own, where the profile folder is a read-only bind
// of itself: even root may not write there, and nothing outside the program sees a change.
QStringList ReadOnlyFolderPrefix(const QString& folder) {
    QStringList prefix{"unshare"};
    // Root may make mount namespaces; anyone else needs a user namespace to be root in.
    if (::geteuid() != 0)
        prefix << "--user"
               << "--map-root-user";
    prefix << "--mount"
           << "sh"
           << "-c"
           << "mount --bind \"$1\" \"$1\" && mount -o remount,bind,ro \"$1\" && shift && "
              "exec \"$@\""
           << "sh" << folder;
    return prefix;
}

TEST_F(HeadlessProgramTest, LogsInShowsTrafficInColourAndSendsWhatIsTyped) {
    Start();
    ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n", 10000));
    ASSERT_TRUE(OutputHas("\x1b[38;2;0;255;0mSuccessfully logged in as bot1\x1b[0m\n"));
    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "hello bot"));
    ASSERT_TRUE(OutputHas("\x1b[38;2;255;255;255mhello bot\x1b[0m\n"));
    const qsizetype talk = out.indexOf("<alice> \x1b[0m");
    ASSERT_GE(talk, 0);
    EXPECT_EQ(out.lastIndexOf("\x1b[38;2;255;255;0m[", talk), out.lastIndexOf("\x1b[", talk - 1));

    program.write("typed line\n");
    ASSERT_TRUE(gateway.WaitForReceived("typed line\r\n"));
    ASSERT_TRUE(OutputHas("<bot1>\x1b[0m\x1b[38;2;255;255;255m typed line\x1b[0m\n"));

    // The end of the input stops reading, not the bot.
    program.closeWriteChannel();
    gateway.SendLine(ChatGateway::InfoLine("still here"));
    ASSERT_TRUE(OutputHas("still here"));
    EXPECT_TRUE(err.contains("status1: Connection State - Connected\n"));
    EXPECT_TRUE(err.contains("caption: ZaRiVoK v3.0b1 - User bot1 in channel Lobby. \n"));
    EXPECT_TRUE(err.contains("users: Lobby (1)\n"));
    EXPECT_TRUE(err.contains("status3: Computer Uptime: "));
    EXPECT_EQ(Stop(SIGTERM), 0);
}

TEST_F(HeadlessProgramTest, SignalsEndItWithExitCodeZero) {
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signalNumber);
        out.clear();
        Start();
        ASSERT_TRUE(OutputHas("Successfully logged in as bot1"));
        EXPECT_EQ(Stop(signalNumber), 0);
        EXPECT_TRUE(gateway.WaitForDisconnect());
    }
}

// SIGTERM while commands pause: the program ends with 0, and neither the pauses still running
// nor the lines after them say anything more or open a new connection.
TEST_F(HeadlessProgramTest, ASignalDuringAPauseEndsWithoutReconnecting) {
    harness.WriteFile("Users.txt", "alice\r\n");
    Start();
    ASSERT_TRUE(OutputHas("Successfully logged in as bot1"));
    gateway.WhenReceived("User dave has been added to database.\r\n",
                         [&] { ::kill(static_cast<pid_t>(program.processId()), SIGTERM); });
    const auto talk = [](const QByteArray& text) {
        return ChatGateway::WireLine(ChatGateway::TalkLine("alice", "0010", text));
    };
    gateway.Send(talk("!add dave") + talk("!add erin") + talk("!say late"));
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(gateway.ConnectionCount(), 1);
    EXPECT_FALSE(out.contains("Reconnecting"));
    EXPECT_FALSE(gateway.Received().contains("late"));
    EXPECT_TRUE(harness.ReadFile("Users.txt").startsWith("alice\r\ndave\r\n"));
}

TEST_F(HeadlessProgramTest, TheProfileFolderHoldsEveryFileAndNothingElse) {
    harness.WriteFile("Users.txt", "alice\r\n");
    Start();
    ASSERT_TRUE(OutputHas("Successfully logged in as bot1"));
    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "!add Carol"));
    ASSERT_TRUE(gateway.WaitForReceived("User Carol has been added to database.\r\n"));
    ASSERT_TRUE(ChatGateway::WaitUntil(
        [&] { return harness.ReadFile("Users.txt") == "alice\r\nCarol\r\n"; }, 10000));
    EXPECT_EQ(Stop(SIGTERM), 0);
    EXPECT_EQ(QDir(harness.Folder())
                  .entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"Config.ini", "logs", "Users.txt"}));
}

// The day log holds the chat pane as standard output shows it, without the colours: every line,
// in order, whatever made it (the server, the operator, auto-clear), with control characters
// made visible. A line reaches it while the bot runs, and the end of the program loses none.
TEST_F(HeadlessProgramTest, TheDayLogIsTheChatPaneWithoutColours) {
    harness.WriteConfig(gateway.Port(),
                        {{"Options/Enable AutoClear", "1"}, {"Options/AutoClear At Line", "6"}});
    Start();
    ASSERT_TRUE(OutputHas("Successfully logged in as bot1"));
    gateway.SendLine(ChatGateway::WhisperLine("alice", "0010", "psst"));
    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "\x1b]0;owned\x07\x1b[2Jgone"));
    ASSERT_TRUE(OutputHas("gone"));
    program.write("typed line\n");
    ASSERT_TRUE(OutputHas("typed line"));
    for (int i = 0; i < 6; ++i) gateway.SendLine(ChatGateway::InfoLine("filler"));
    gateway.SendLine(ChatGateway::InfoLine("last line"));
    ASSERT_TRUE(OutputHas("last line"));
    EXPECT_TRUE(ChatGateway::WaitUntil([&] { return DayLogs().contains("last line"); }, 30000));

    EXPECT_EQ(Stop(SIGTERM), 0);
    const QByteArray logged = DayLogs();
    EXPECT_EQ(logged.toStdString(), testing::WithoutColours(out).toStdString());
    for (const char* needed : {"<From: alice> psst\n", "^[]0;owned^G^[[2Jgone\n",
                               "<bot1> typed line\n", "\nChat has been Auto-Cleared.\n"}) {
        EXPECT_TRUE(logged.contains(needed)) << needed;
    }
}

TEST_F(HeadlessProgramTest, NoLogKeepsNoLogsFolder) {
    Start({"--no-log"});
    ASSERT_TRUE(OutputHas("Successfully logged in as bot1"));
    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "not logged"));
    ASSERT_TRUE(OutputHas("not logged"));
    EXPECT_EQ(Stop(SIGTERM), 0);
    EXPECT_FALSE(QDir(harness.Folder()).exists(QStringLiteral("logs")));
}

TEST_F(HeadlessProgramTest, WithoutTheMasterOnlyListedNamesCommand) {
    harness.WriteFile("Users.txt", "alice\r\n");
    Start({"--no-master"});
    ASSERT_TRUE(OutputHas("Successfully logged in as bot1"));
    const auto talk = [](const QByteArray& speaker, const QByteArray& text) {
        return ChatGateway::WireLine(ChatGateway::TalkLine(speaker, "0010", text));
    };
    // Lines are answered in order: by the time alice's answer is there, the master's would be.
    gateway.Send(talk("QuEnDaR", "!say from the master") + talk("alice", "!say from alice"));
    ASSERT_TRUE(gateway.WaitForReceived("from alice\r\n", 30000));
    EXPECT_FALSE(gateway.Received().contains("from the master"));
    EXPECT_EQ(Stop(SIGTERM), 0);
}

// The scripts load from the engine's module before the first connect; --no-scripts leaves them
// alone.
TEST_F(HeadlessProgramTest, ScriptsLoadBeforeTheFirstConnectUnlessSwitchedOff) {
    harness.WriteFile("Users.txt", "alice\r\n");
    QDir(harness.Folder()).mkdir(QStringLiteral("scripts"));
    harness.WriteFile("scripts/hello.js",
                      "bot.command('hi', function (user) { bot.say('hi ' + user); });");
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled ? "scripts" : "--no-scripts");
        out.clear();
        Start(enabled ? QStringList() : QStringList{"--no-scripts"});
        ASSERT_TRUE(OutputHas("Successfully logged in as bot1"));
        gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "!hi"));
        gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "!say done"));
        ASSERT_TRUE(OutputHas("done"));
        const QByteArray shown = testing::WithoutColours(out);
        EXPECT_EQ(shown.contains("Script hello.js loaded."), enabled);
        if (enabled) {
            EXPECT_LT(shown.indexOf("Script hello.js loaded."), shown.indexOf("Loaded Config.ini"));
        }
        EXPECT_EQ(gateway.Received().contains("hi alice\r\n"), enabled);
        EXPECT_EQ(Stop(SIGTERM), 0);
    }
}

// !add and !remove rewrite Users.txt, and SIGKILL ends the program at random moments meanwhile:
// the file always holds a whole list as one of them left it (the names, then bob as often as he
// was listed: a round starts from where the last one was killed), and what a save cut short
// leaves is cleared by the next one.
TEST_F(HeadlessProgramTest, KilledWhileItSavesTheUserDatabaseLeavesAWholeFile) {
    constexpr int kRounds = 8;
    constexpr int kCommands = 60;
    QByteArray without = "alice\r\n";
    for (int i = 0; i < 3000; ++i) without += "user" + QByteArray::number(i) + "\r\n";
    harness.WriteFile("Users.txt", without);
    QByteArray commands;
    for (int i = 0; i < kCommands; ++i)
        commands += Talk("alice", i % 2 ? "!remove bob" : "!add bob");
    const unsigned seed = std::random_device()();
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 random(seed);

    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        // The moment: while the program handles one of the commands, or just after.
        const int killAfter = std::uniform_int_distribution<int>(1, kCommands / 2)(random);
        out.clear();
        bool killed = false;
        onOutput = [&] {
            if (!killed && out.count("<alice> ") >= killAfter) {
                killed = ::kill(static_cast<pid_t>(program.processId()), SIGKILL) == 0;
            }
        };
        Start();
        ASSERT_TRUE(gateway.WaitForConnections(round + 1, 30000));
        ASSERT_TRUE(gateway.WaitForReceived("/join Lobby\r\n", 30000, round));
        gateway.Send(commands);
        ASSERT_TRUE(
            ChatGateway::WaitUntil([&] { return program.state() == QProcess::NotRunning; }, 60000));
        EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);
        const QByteArray saved = harness.ReadFile("Users.txt");
        const QByteArray added = saved.mid(without.size());
        EXPECT_TRUE(saved.startsWith(without) &&
                    added == QByteArray("bob\r\n").repeated(added.size() / 5))
            << saved.size() << " bytes";
        EXPECT_LE(QDir(harness.Folder()).entryList({"Users.txt.*"}, QDir::Files).size(), 1);
    }
}

// A profile folder that may not be written to: the day log and the user database say so in red,
// once each time they fail, and the bot goes on answering.
TEST_F(HeadlessProgramTest, AReadOnlyProfileGivesRedLinesAndTheBotStillAnswers) {
    harness.WriteFile("Users.txt", "alice\r\n");
    Start({}, ReadOnlyFolderPrefix(harness.Folder()));
    ASSERT_TRUE(OutputHas("Successfully logged in as bot1")) << err.data();
    const QByteArray red = "\x1b[38;2;255;0;0m";
    const QByteArray logs = QDir(harness.Folder()).filePath("logs").toUtf8();
    EXPECT_TRUE(OutputHas(red + "The day log " + logs));
    EXPECT_TRUE(out.contains(logs + " cannot be made (Read-only file system)"));

    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "!add bob"));
    ASSERT_TRUE(gateway.WaitForReceived("User bob has been added to database.\r\n"));
    EXPECT_TRUE(OutputHas(red + "Could not save " + harness.Path("Users.txt").toUtf8() +
                          ": Read-only file system"));
    gateway.SendLine(ChatGateway::TalkLine("bob", "0010", "!say bob is listed in memory"));
    EXPECT_TRUE(gateway.WaitForReceived("bob is listed in memory\r\n"));

    EXPECT_EQ(Stop(SIGTERM), 0);
    EXPECT_EQ(harness.ReadFile("Users.txt"), "alice\r\n");
    EXPECT_EQ(
        QDir(harness.Folder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{"Config.ini", "Users.txt"}));
}

TEST_F(HeadlessProgramTest, HelpVersionAndAMissingProfile) {
    QProcess help;
    help.start(QStringLiteral(ZARIVOK_BINARY), {"--help"});
    ASSERT_TRUE(help.waitForFinished(10000));
    EXPECT_EQ(help.exitCode(), 0);
    const QByteArray helpText = help.readAllStandardOutput();
    EXPECT_TRUE(helpText.contains("--profile <dir>"));
    EXPECT_TRUE(helpText.contains("--no-log"));
    EXPECT_TRUE(helpText.contains("--no-master"));

    QProcess version;
    version.start(QStringLiteral(ZARIVOK_BINARY), {"--version"});
    ASSERT_TRUE(version.waitForFinished(10000));
    EXPECT_EQ(version.readAllStandardOutput(), QByteArray("ZaRiVoK v3.0b1\n"));

    QProcess missing;
    missing.start(QStringLiteral(ZARIVOK_BINARY),
                  {"--headless", "--profile", harness.Path("no-such-folder")});
    ASSERT_TRUE(missing.waitForFinished(10000));
    EXPECT_NE(missing.exitCode(), 0);
    EXPECT_TRUE(missing.readAllStandardError().contains("does not exist"));
}

}  // namespace
}  // namespace zarivok
