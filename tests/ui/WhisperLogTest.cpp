#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include "connection/Connection.h"
#include "display/WhisperLogFile.h"
#include "ui/ChatColours.h"
#include "ui/MainWindowFixture.h"
#include "ui/WhisperLog.h"
#include "ui/WhisperWindow.h"

namespace zarivok {
namespace {

using PaneRun = ChatPaneWidget::Run;

class WhisperLogTest : public testing::MainWindowFixture {
  protected:
    QString LogPath() const { return files.Path("whisper.txt"); }
    void Whisper(const QByteArray& from, const QByteArray& text) {
        bot().ProcessReceivedData(
            ChatGateway::WireLine(ChatGateway::WhisperLine(from, "0010", text)));
    }
    std::optional<QList<RtfRun>> FileRuns() const { return ReadRtf(files.ReadFile("whisper.txt")); }
    QList<PaneRun> PaneRuns() {
        WhisperWindow* shown = window.Whispers().Window();
        return shown ? shown->rtbWhisper->Runs() : QList<PaneRun>{{"(not loaded)", Qt::black}};
    }
    bool ChatSays(const QString& text) { return Pane().contains(text); }

    static QList<PaneRun> WhisperRuns(const QString& from, const QString& text) {
        return {{"[9:05:03 PM] <From: " + from + "> ", ToQColor(kYellow)},
                {text + "\r\n", ToQColor(kGrey)}};
    }
};

TEST_F(WhisperLogTest, WhispersGoAfterTheSavedLogAndSurviveClosingTheWindow) {
    ASSERT_FALSE(SaveWhisperLog(LogPath(), {{"yesterday\r\n", kWhite}}));
    Whisper("alice", "first");
    Whisper("bob", "second");
    // Loaded by the first whisper, without being shown.
    ASSERT_TRUE(window.Whispers().IsLoaded());
    EXPECT_FALSE(window.Whispers().Window()->isVisible());
    EXPECT_TRUE(ChatSays("<From: alice> first"));
    const QList<PaneRun> expected = QList<PaneRun>{{"yesterday\r\n", Qt::white}} +
                                    WhisperRuns("alice", "first") + WhisperRuns("bob", "second");
    window.mnuWhisper->trigger();
    EXPECT_TRUE(window.Whispers().Window()->isVisible());
    EXPECT_EQ(window.Whispers().Window()->windowTitle(), QStringLiteral("Whisper Window"));
    EXPECT_EQ(PaneRuns(), expected);

    // The close box saves and unloads; the next showing reads the file back.
    window.Whispers().Window()->close();
    EXPECT_FALSE(window.Whispers().IsLoaded());
    ASSERT_TRUE(FileRuns().has_value());
    EXPECT_EQ(FileRuns()->size(), 5);
    window.mnuWhisper->trigger();
    EXPECT_EQ(PaneRuns(), expected);
}

TEST_F(WhisperLogTest, ClearSavesAnEmptyLogAndTheNextWhisperStartsAtTheTop) {
    Whisper("alice", "first");
    window.mnuWhisper->trigger();
    window.Whispers().Window()->cmdClear->click();
    EXPECT_TRUE(window.Whispers().Window()->isVisible());
    EXPECT_EQ(PaneRuns(), QList<PaneRun>{});
    EXPECT_EQ(FileRuns(), std::optional<QList<RtfRun>>(QList<RtfRun>{}));
    EXPECT_TRUE(files.ReadFile("whisper.txt").startsWith("{\\rtf1"));
    Whisper("bob", "again");
    EXPECT_EQ(PaneRuns(), WhisperRuns("bob", "again"));
}

// Closing the main window empties the log; Exit and the quit command leave it as last saved.
TEST_F(WhisperLogTest, TheWaysOutTreatTheLogDifferently) {
    ASSERT_FALSE(SaveWhisperLog(LogPath(), {{"kept\r\n", kWhite}}));
    const QByteArray saved = files.ReadFile("whisper.txt");
    Whisper("alice", "lost on exit");
    bot().GetConnection().ExitMenuClick();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(files.ReadFile("whisper.txt"), saved);

    window.close();
    EXPECT_EQ(FileRuns(), std::optional<QList<RtfRun>>(QList<RtfRun>{}));
    EXPECT_FALSE(window.Whispers().Window()->isVisible());
}

TEST_F(WhisperLogTest, ReadsADocumentOfAnotherRichTextWriter) {
    QFile::copy(QStringLiteral(ZARIVOK_FIXTURES_DIR "/rtf/libreoffice-7.4.rtf"), LogPath());
    window.mnuWhisper->trigger();
    const QList<PaneRun> runs = PaneRuns();
    ASSERT_GE(runs.size(), 3);
    EXPECT_EQ(runs.first(), (PaneRun{QString::fromUtf8("<Zarïvok> whispers: café €5"), Qt::red}));
    EXPECT_TRUE(window.Whispers().Window()->rtbWhisper->toPlainText().contains("bold green"));
    EXPECT_FALSE(ChatSays("whisper.txt"));
}

TEST_F(WhisperLogTest, AMissingLogIsEmptyAndAnUnusableOneIsSaidAndKept) {
    window.mnuWhisper->trigger();
    EXPECT_EQ(PaneRuns(), QList<PaneRun>{});
    EXPECT_EQ(Pane(), QString());
    window.Whispers().Window()->close();

    files.WriteFile("whisper.txt", "notes of my own, not rich text\n");
    window.mnuWhisper->trigger();
    EXPECT_EQ(PaneRuns(), QList<PaneRun>{});
    EXPECT_TRUE(ChatSays(LogPath() + " is not a rich text document"));
    EXPECT_EQ(window.txtChannel->Runs().first().colour, ToQColor(kRed));
    // Whispers and the program's closing leave the file alone...
    Whisper("alice", "hi");
    window.close();
    EXPECT_EQ(files.ReadFile("whisper.txt"), QByteArray("notes of my own, not rich text\n"));
}

TEST_F(WhisperLogTest, TheOperatorsSaveReplacesAnUnusableLog) {
    files.WriteFile("whisper.txt", "not rich text");
    Whisper("alice", "hi");
    window.Whispers().Window()->close();
    EXPECT_EQ(FileRuns()->size(), 2);
}

TEST_F(WhisperLogTest, AFailedSaveIsSaidAndKeepsTheWindowWithItsText) {
    // A folder where the file should be: it can be neither read nor replaced.
    ASSERT_TRUE(QDir(files.Folder()).mkdir("whisper.txt"));
    Whisper("alice", "keep me");
    EXPECT_TRUE(ChatSays("Could not read " + LogPath()));
    window.mnuWhisper->trigger();
    window.Whispers().Window()->close();
    EXPECT_TRUE(ChatSays("Could not save " + LogPath()));
    ASSERT_TRUE(window.Whispers().IsLoaded());
    EXPECT_TRUE(window.Whispers().Window()->isVisible());
    EXPECT_EQ(PaneRuns(), WhisperRuns("alice", "keep me"));
}

}  // namespace
}  // namespace zarivok
