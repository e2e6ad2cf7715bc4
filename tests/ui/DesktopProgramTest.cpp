#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "display/RtfLog.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"

namespace zarivok {
namespace {

// The real program with its real window on a virtual display (Xvfb), driven from outside as an
// operator would drive it: keys into its menus and its window's close box. Every way out must
// end the process with exit code 0. ZARIVOK_PROGRAM_WRAPPER runs it under a checker (valgrind).
class DesktopProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifndef ZARIVOK_XDRIVE
        GTEST_SKIP() << "built without the X11 test driver";
#else
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty()) GTEST_SKIP() << "Xvfb is not installed";
        ASSERT_TRUE(displayFile.open());
        // Xvfb picks a free display itself and writes its number to the descriptor given.
        server.setChildProcessModifier([fd = displayFile.handle()] { ::dup2(fd, 3); });
        server.start(xvfb, {"-displayfd", "3", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        ASSERT_TRUE(server.waitForStarted(10000));
        ASSERT_TRUE(ChatGateway::WaitUntil([&] { return QFile(displayFile.fileName()).size() > 0; },
                                           20000));
        QFile number(displayFile.fileName());
        ASSERT_TRUE(number.open(QIODevice::ReadOnly));
        display = u':' + QString::fromLatin1(number.readAll().trimmed());

        files.WriteConfig(gateway.Port());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        program.setProcessEnvironment(environment);
        QStringList command =
            qEnvironmentVariable("ZARIVOK_PROGRAM_WRAPPER").split(u' ', Qt::SkipEmptyParts);
        command << QStringLiteral(ZARIVOK_BINARY) << "--profile" << files.Folder();
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.start(command.takeFirst(), command);
        ASSERT_TRUE(program.waitForStarted(10000));
        ASSERT_EQ(Drive({"wait", "ZaRiVoK"}), 0);
#endif
    }

    void TearDown() override {
        for (QProcess* process : {&program, &server}) {
            if (process->state() == QProcess::NotRunning) continue;
            process->kill();
            process->waitForFinished(10000);
        }
    }

    int Drive(const QStringList& arguments) {
#ifdef ZARIVOK_XDRIVE
        QProcess drive;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), display);
        drive.setProcessEnvironment(environment);
        drive.setProcessChannelMode(QProcess::ForwardedChannels);
        drive.start(QStringLiteral(ZARIVOK_XDRIVE), arguments);
        // The driver waits for windows with its own deadline; this one only bounds a hang.
        if (!ChatGateway::WaitUntil([&] { return drive.state() == QProcess::NotRunning; }, 60000)) {
            drive.kill();
            drive.waitForFinished();
            return -1;
        }
        return drive.exitCode();
#else
        (void)arguments;
        return -1;
#endif
    }

    // -1 when it crashed or did not end.
    int ExitCode() {
        const bool ended =
            ChatGateway::WaitUntil([&] { return program.state() == QProcess::NotRunning; }, 60000);
        if (!ended || program.exitStatus() != QProcess::NormalExit) return -1;
        return program.exitCode();
    }

    void ConnectFromTheMenu() {
        ASSERT_EQ(Drive({"keys", "ZaRiVoK", "alt+b", "c"}), 0);
        ASSERT_EQ(Drive({"wait", "ZaRiVoK v3.0b1 - User bot1 in channel Lobby"}), 0);
    }

    ChatGateway gateway;
    testing::BotHarness files;
    QTemporaryFile displayFile;
    QString display;
    QProcess server;
    QProcess program;
};

TEST_F(DesktopProgramTest, ExitEndsWithZeroAndLeavesTheWhisperLogAlone) {
    files.WriteFile("whisper.txt", WriteRtf({{"as saved\r\n", 0xFFFFFF}}));
    const QByteArray saved = files.ReadFile("whisper.txt");
    ConnectFromTheMenu();
    ASSERT_EQ(Drive({"keys", "ZaRiVoK", "alt+b", "x"}), 0);
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_TRUE(gateway.WaitForDisconnect());
    EXPECT_EQ(files.ReadFile("whisper.txt"), saved);
}

// The input line's keys and the find bar, typed into the real window.
TEST_F(DesktopProgramTest, HistoryCompletionAndFindWorkFromTheKeyboard) {
    // Under a checker (valgrind) the program takes its time over each key.
    constexpr int kSlowMs = 30000;
    gateway.AddChannelUser("Alistair", "0010", "CHAT");
    ConnectFromTheMenu();
    const QString window = QStringLiteral("ZaRiVoK v3.0b1");
    ASSERT_EQ(Drive({"keys", window, "h", "i", "Return"}), 0);
    ASSERT_TRUE(gateway.WaitForReceived("hi\r\n", kSlowMs));
    // Up brings "hi" back; sent again, the server sees it twice.
    ASSERT_EQ(Drive({"keys", window, "Up", "Return"}), 0);
    ASSERT_TRUE(
        ChatGateway::WaitUntil([&] { return gateway.Received().count("hi\r\n") == 2; }, kSlowMs));
    ASSERT_EQ(Drive({"keys", window, "a", "l", "Tab", "y", "o", "Return"}), 0);
    ASSERT_TRUE(gateway.WaitForReceived("Alistair: yo\r\n", kSlowMs));
    // Find opens under the pane, finds, and Escape gives the keys back to the input line.
    ASSERT_EQ(Drive({"keys", window, "ctrl+f", "y", "o", "Return", "F3", "shift+F3", "Escape", "o",
                     "k", "Return"}),
              0);
    ASSERT_TRUE(gateway.WaitForReceived("ok\r\n", kSlowMs));
    EXPECT_FALSE(gateway.Received().contains("yook"));
}

TEST_F(DesktopProgramTest, TheQuitCommandEndsWithZero) {
    ConnectFromTheMenu();
    gateway.SendLine(ChatGateway::TalkLine("QuEnDaR", "0010", "!quit"));
    EXPECT_EQ(ExitCode(), 0);
}

TEST_F(DesktopProgramTest, ClosingTheWindowEndsWithZeroAndAnEmptyWhisperLog) {
    ConnectFromTheMenu();
    gateway.SendLine(ChatGateway::WhisperLine("alice", "0010", "secret"));
    // The day log has the whisper once the program has handled it (a checker may slow it down).
    ASSERT_TRUE(ChatGateway::WaitUntil(
        [&] {
            const QDir logs(files.Path(QStringLiteral("logs")));
            for (const QString& name : logs.entryList(QDir::Files)) {
                if (files.ReadFile(QStringLiteral("logs/") + name).contains("secret")) return true;
            }
            return false;
        },
        30000));
    // The whisper window opened on top, then closed again with its close box: the log holds
    // the whisper.
    ASSERT_EQ(Drive({"keys", "ZaRiVoK v3.0b1", "alt+o", "w"}), 0);
    ASSERT_EQ(Drive({"close", "Whisper Window"}), 0);
    ASSERT_TRUE(ChatGateway::WaitUntil(
        [&] { return files.ReadFile("whisper.txt").contains("secret"); }, 20000));
    ASSERT_EQ(Drive({"close", "ZaRiVoK v3.0b1"}), 0);
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(ReadRtf(files.ReadFile("whisper.txt")),
              std::optional<QList<RtfRun>>(QList<RtfRun>{}));
    EXPECT_TRUE(gateway.WaitForDisconnect());
}

}  // namespace
}  // namespace zarivok
