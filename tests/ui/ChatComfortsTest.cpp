#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include "commands/UserDatabase.h"
#include "ui/FindBar.h"
#include "ui/MainWindowFixture.h"
#include "ui/TrayIcon.h"
#include "ui/UserListView.h"

namespace zarivok::testing {
namespace {

// The input line's keys, the find bar and alerts, driven by real key events on the window.
class ChatComfortsTest : public MainWindowFixture {
  protected:
    void Type(const QString& text) { QTest::keyClicks(window.txtSend, text); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window.txtSend, key, modifiers);
    }
    QString Line() const { return window.txtSend->text(); }
    // Focus and window shortcuts need the window shown and active.
    void Activate() {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void SendLine(const QString& text) {
        window.txtSend->clear();
        Type(text);
        Key(Qt::Key_Return);
    }
};

TEST_F(ChatComfortsTest, UpAndDownWalkTheLinesSentAndKeepTheDraft) {
    LogIn();
    SendLine(QStringLiteral("first"));
    SendLine(QStringLiteral("second"));
    SendLine(QStringLiteral("second"));  // kept once
    window.txtSend->setText(QStringLiteral("to whisper"));
    window.cmdWhisper->click();  // the text stays; whispered lines count too
    window.txtSend->clear();
    ASSERT_TRUE(gateway.WaitForReceived("/w  to whisper\r\n"));

    Type(QStringLiteral("half a li"));
    Key(Qt::Key_Up);
    EXPECT_EQ(Line(), QStringLiteral("to whisper"));
    Key(Qt::Key_Up);
    EXPECT_EQ(Line(), QStringLiteral("second"));
    Key(Qt::Key_Up);
    EXPECT_EQ(Line(), QStringLiteral("first"));
    Key(Qt::Key_Up);
    EXPECT_EQ(Line(), QStringLiteral("first"));
    Key(Qt::Key_Down);
    EXPECT_EQ(Line(), QStringLiteral("second"));
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    EXPECT_EQ(Line(), QStringLiteral("half a li"));
    EXPECT_EQ(window.txtSend->cursorPosition(), 9);

    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    EXPECT_EQ(Line(), QStringLiteral("second"));
    Key(Qt::Key_Escape);
    EXPECT_EQ(Line(), QStringLiteral("half a li"));
    // Sending a recalled line starts the next walk from the newest again.
    Key(Qt::Key_Up);
    Key(Qt::Key_Up);
    Key(Qt::Key_Return);
    Key(Qt::Key_Up);
    EXPECT_EQ(Line(), QStringLiteral("second"));
}

TEST_F(ChatComfortsTest, TabCompletesNamesInListOrderOrMovesTheFocus) {
    gateway.AddChannelUser("Alistair", "0010", "CHAT");
    gateway.AddChannelUser("alice", "0010", "STAR");
    LogIn();
    Activate();
    window.txtSend->setFocus();

    Type(QStringLiteral("al"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Line(), QStringLiteral("Alistair: "));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Line(), QStringLiteral("alice: "));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Line(), QStringLiteral("Alistair: "));
    Type(QStringLiteral("ask AL"));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Line(), QStringLiteral("Alistair: ask Alistair "));
    EXPECT_TRUE(window.txtSend->hasFocus());

    Key(Qt::Key_Tab);
    EXPECT_EQ(Line(), QStringLiteral("Alistair: ask alice "));

    // No word before the cursor: the focus goes on to Send, as the tab order says.
    window.txtSend->setText(QStringLiteral("hello "));
    Key(Qt::Key_Tab);
    EXPECT_EQ(Line(), QStringLiteral("hello "));
    EXPECT_TRUE(window.cmdSend->hasFocus());
    window.txtSend->setFocus();
    window.txtSend->setText(QStringLiteral("nobody"));
    Key(Qt::Key_Tab);
    EXPECT_TRUE(window.cmdSend->hasFocus());
}

TEST_F(ChatComfortsTest, FindGoesForwardAndBackRoundTheEndsAndLeavesThePaneAsItWas) {
    Activate();
    window.txtSend->setFocus();
    for (const char* line : {"apple one\r\n", "pear\r\n", "Apple two\r\n", "apple three\r\n"}) {
        bot().AppendChat(QString::fromLatin1(line), kWhite);
    }
    const QList<ChatPaneWidget::Run> before = window.txtChannel->Runs();
    const qint64 counted = bot().Output().LineCount();
    const auto selected = [&] { return window.txtChannel->textCursor().selectedText(); };
    const auto line = [&] { return window.txtChannel->textCursor().block().text(); };

    QTest::keyClick(window.txtSend, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(window.findBar->isVisible());
    EXPECT_TRUE(window.findBar->txtFind->hasFocus());
    QTest::keyClicks(window.findBar->txtFind, QStringLiteral("apple"));
    EXPECT_EQ(line(), QStringLiteral("apple one"));
    EXPECT_EQ(window.findBar->lblFound->text(), QStringLiteral("3 found"));
    EXPECT_EQ(window.txtChannel->extraSelections().size(), 3);
    QTest::keyClick(window.findBar->txtFind, Qt::Key_Return);
    EXPECT_EQ(line(), QStringLiteral("Apple two"));
    QTest::keyClick(window.findBar->txtFind, Qt::Key_F3);
    EXPECT_EQ(line(), QStringLiteral("apple three"));
    QTest::keyClick(window.findBar->txtFind, Qt::Key_F3);
    EXPECT_EQ(line(), QStringLiteral("apple one"));  // round the end
    QTest::keyClick(window.findBar->txtFind, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(line(), QStringLiteral("apple three"));  // round the start
    EXPECT_EQ(selected().toLower(), QStringLiteral("apple"));

    QTest::keyClick(window.findBar->txtFind, Qt::Key_Escape);
    EXPECT_FALSE(window.findBar->isVisible());
    EXPECT_TRUE(window.txtSend->hasFocus());
    EXPECT_TRUE(window.txtChannel->extraSelections().isEmpty());
    EXPECT_EQ(window.txtChannel->Runs(), before);
    EXPECT_EQ(bot().Output().LineCount(), counted);
}

TEST_F(ChatComfortsTest, WhispersAndTheBotsNameRaiseAlertsOnlyWhenNotLookedAtAndSwitchedOn) {
    LogIn();
    QSignalSpy alerts(&window, &MainWindow::Alerted);
    const QString paneBefore = Pane();
    struct Case {
        const char* what;
        bool inFront;
        QByteArray line;
        bool alerted;
    } const cases[] = {
        {"whisper, looked at", true, ChatGateway::WhisperLine("Ann", "0010", "psst"), false},
        {"whisper, elsewhere", false, ChatGateway::WhisperLine("Ann", "0010", "psst"), true},
        {"name, elsewhere", false, ChatGateway::TalkLine("Ann", "0010", "hey BOT1, you there?"),
         true},
        {"name in an emote", false, ChatGateway::EmoteLine("Ann", "0010", "waves at bot1"), true},
        {"name in a longer word", false, ChatGateway::TalkLine("Ann", "0010", "bot12 and robot1"),
         false},
        {"other talk", false, ChatGateway::TalkLine("Ann", "0010", "hello all"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        inFront = c.inFront;
        alerts.clear();
        gateway.SendLine(c.line);
        gateway.SendLine(ChatGateway::InfoLine("marker"));
        ASSERT_TRUE(ChatGateway::WaitUntil([&] { return Pane().count("marker") > 0; }));
        window.txtChannel->clear();
        EXPECT_EQ(alerts.count(), c.alerted ? 1 : 0);
    }

    window.mnuAlerts->trigger();
    EXPECT_EQ(window.mnuAlerts->text(), QStringLiteral("A&lerts On"));
    EXPECT_TRUE(Pane().contains(QStringLiteral("Alerts Disabled.")));
    inFront = false;
    gateway.SendLine(ChatGateway::WhisperLine("Ann", "0010", "psst"));
    gateway.SendLine(ChatGateway::InfoLine("marker"));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return Pane().contains(QStringLiteral("marker")); }));
    EXPECT_EQ(alerts.count(), 0);
    window.mnuAlerts->trigger();
    EXPECT_EQ(window.mnuAlerts->text(), QStringLiteral("A&lerts Off"));
    gateway.SendLine(ChatGateway::WhisperLine("Ann", "0010", "again"));
    ASSERT_TRUE(alerts.wait(5000));
    EXPECT_EQ(alerts.first().at(0).toString(), QStringLiteral("Ann"));
    EXPECT_EQ(alerts.first().at(1).toString(), QStringLiteral("again"));
}

class AlertInTrayTest : public MainWindowFixture {
  protected:
    AlertInTrayTest() : MainWindowFixture(true) {}
};

// Where there is a notification area, an alert is also its message, shortened: from the icon
// the window hides behind, or from one shown for the alert until the window is active again.
TEST_F(AlertInTrayTest, AnInactiveWindowsAlertShowsTheIconsMessageUntilTheWindowIsActive) {
    LogIn();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Another window is in front.
    QApplication::setActiveWindow(nullptr);
    inFront = false;
    QSignalSpy alerts(&window, &MainWindow::Alerted);
    gateway.SendLine(ChatGateway::TalkLine("Ann", "0010", "bot1: are you there?"));
    ASSERT_TRUE(alerts.wait(5000));
    EXPECT_TRUE(window.Tray().IsShown());
    EXPECT_EQ(window.Tray().LastMessage(), QStringLiteral("bot1: are you there?"));
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(ChatGateway::WaitUntil([&] { return !window.Tray().IsShown(); }));
}

TEST_F(AlertInTrayTest, AWhisperWhileInTheTrayShowsTheIconsMessage) {
    LogIn();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.showMinimized();
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return window.Tray().IsShown(); }));
    inFront = false;
    QSignalSpy alerts(&window, &MainWindow::Alerted);
    const QByteArray text(150, 'w');
    gateway.SendLine(ChatGateway::WhisperLine("Ann", "0010", text));
    ASSERT_TRUE(alerts.wait(5000));
    EXPECT_EQ(window.Tray().LastMessage(),
              QString(TrayIcon::kMessageLength - 1, u'w') + QChar(0x2026));
}

}  // namespace
}  // namespace zarivok::testing
