#include <gtest/gtest.h>

#include <QAction>
#include <QDateTime>
#include <QPushButton>

#include "display/DayLog.h"
#include "ui/MainWindowFixture.h"
#include "ui/WhisperLog.h"
#include "ui/WhisperWindow.h"

namespace zarivok {
namespace {

class DayLogWindowTest : public testing::MainWindowFixture {
  protected:
    void Feed(const QByteArray& line) { bot().ProcessReceivedData(ChatGateway::WireLine(line)); }
};

// The window keeps the same day log as the terminal front end, and neither auto-clear nor the
// whisper window's Clear takes anything out of it.
TEST_F(DayLogWindowTest, TheWindowsChatIsLoggedAndNoClearTouchesTheLog) {
    bot().Output().Log()->SetClock(
        [] { return QDateTime(QDate(2024, 3, 9), QTime(12, 0)).toMSecsSinceEpoch(); });
    bot().UpdateSettings([&](Settings& s) {
        s.intEnableAutoClear = 1;
        s.intAutoClearAtLine = 3;
    });
    Feed(ChatGateway::WhisperLine("alice", "0010", "psst"));
    Feed(ChatGateway::TalkLine("bob", "0010", "hello"));
    window.mnuWhisper->trigger();
    window.Whispers().Window()->cmdClear->click();
    Feed(ChatGateway::TalkLine("carol", "0010", "\x1b[2Jwiped?"));
    Feed(ChatGateway::TalkLine("dave", "0010", "after"));

    EXPECT_FALSE(Pane().contains(QStringLiteral("hello")));
    EXPECT_EQ(files.ReadFile(QStringLiteral("logs/2024-03-09.log")),
              "[9:05:03 PM] <From: alice> psst\n"
              "[9:05:03 PM] <bob> hello\n"
              "[9:05:03 PM] <carol> ^[[2Jwiped?\n"
              "Chat has been Auto-Cleared.\n"
              "[9:05:03 PM] <dave> after\n");
}

}  // namespace
}  // namespace zarivok
