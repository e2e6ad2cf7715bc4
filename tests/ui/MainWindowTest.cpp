#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTest>

#include "bot/Bot.h"
#include "connection/Connection.h"
#include "support/ChatGateway.h"
#include "ui/ChatColours.h"
#include "ui/ChatPaneWidget.h"
#include "ui/ConfigDialog.h"
#include "ui/DatabaseWindow.h"
#include "ui/MainWindow.h"
#include "ui/MainWindowFixture.h"
#include "ui/TrayIcon.h"
#include "ui/UserListView.h"
#include "ui/WhisperLog.h"

namespace zarivok {
namespace {

using MainWindowTest = testing::MainWindowFixture;

QStringList Captions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions()) {
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

TEST_F(MainWindowTest, LaysOutEveryControlWhereTheDesignPutsIt) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ZaRiVoK 3.0b1 By QuEnDaR"));
    EXPECT_EQ(window.objectName(), QStringLiteral("frmBot"));
    // A fixed border with a minimise button and no maximise button.
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.height() - window.MenuBar()->sizeHint().height(), MainWindow::kClientHeight);
    EXPECT_EQ(window.width(), MainWindow::kClientWidth);

    const struct {
        QWidget* control;
        QRect geometry;
    } places[] = {
        {window.txtChannel, {8, 24, 505, 385}},     {window.Users, {520, 24, 177, 19}},
        {window.ChannelUsers, {520, 56, 177, 353}}, {window.txtSend, {8, 416, 505, 21}},
        {window.cmdSend, {544, 424, 57, 17}},       {window.cmdWhisper, {624, 424, 57, 17}},
        {window.StatusBar1, {0, 452, 700, 17}},
    };
    for (const auto& place : places) {
        SCOPED_TRACE(place.control->objectName().toStdString());
        EXPECT_EQ(place.control->geometry(), place.geometry);
    }
    EXPECT_EQ(window.cmdSend->text(), QStringLiteral("Send"));
    EXPECT_EQ(window.cmdWhisper->text(), QStringLiteral("Whisper"));
    EXPECT_EQ(window.Users->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(window.txtChannel->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(window.txtSend->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(window.txtSend->palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(window.ChannelUsers->iconSize(), QSize(28, 14));

    // The tab order, from the input line around (the status bar takes no focus).
    const QList<QWidget*> order{window.txtSend,    window.cmdSend,    window.ChannelUsers,
                                window.txtChannel, window.cmdWhisper, window.Users};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (next != order[i + 1] && next->focusPolicy() == Qt::NoFocus && next != order[i]) {
            next = next->nextInFocusChain();
        }
        EXPECT_EQ(next, order[i + 1]) << i;
    }
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), window.txtSend);
}

TEST_F(MainWindowTest, MenusAndStatusBarStartAsDesigned) {
    EXPECT_EQ(Captions(window.mnuBot), (QStringList{"&Connect", "&Reconnect", "-", "E&xit"}));
    EXPECT_EQ(Captions(window.mnuFiles),
              (QStringList{"&Database", "&Config", "&Protection", "&Scripts"}));
    EXPECT_EQ(Captions(window.mnuOptions), (QStringList{"&Notifications Off", "&AutoClear Off",
                                                        "A&lerts Off", "&Whisper Window"}));
    EXPECT_EQ(Captions(window.mnuList),
              (QStringList{"Ban", "Kick", "Designate", "-", "Squelch", "Unsquelch", "-",
                           "Add To Database", "Remove From Database"}));
    QStringList bar;
    for (const QAction* action : window.MenuBar()->actions()) bar << action->text();
    EXPECT_EQ(bar, (QStringList{"&Bot", "&Files", "&Options"}));
    for (QMenu* menu : {window.mnuBot, window.mnuFiles, window.mnuOptions, window.mnuList}) {
        for (const QAction* action : menu->actions()) {
            EXPECT_TRUE(action->shortcut().isEmpty());
            EXPECT_FALSE(action->isCheckable());
        }
    }
    EXPECT_EQ(window.statusPanels[0]->text(), QString());
    EXPECT_EQ(window.statusPanels[1]->text(), QString());
    EXPECT_TRUE(window.statusPanels[2]->text().startsWith("Computer Uptime: "));
    EXPECT_TRUE(window.statusPanels[2]->text().endsWith("s "));
    EXPECT_EQ(window.statusPanels[0]->width(), 168);
    EXPECT_EQ(window.statusPanels[1]->width(), 333);
    EXPECT_EQ(window.statusPanels[2]->width(), 200);
    EXPECT_EQ(window.Users->text(), QString());
    // Nothing connects by itself.
    EXPECT_EQ(gateway.ConnectionCount(), 0);
    EXPECT_EQ(Pane(), QString());
}

TEST_F(MainWindowTest, TheOptionTogglesFollowTheirCaptions) {
    const struct {
        QAction* item;
        int Settings::*value;
        const char* offCaption;
        const char* onCaption;
        const char* disabled;
        const char* enabled;
    } toggles[] = {
        {window.mnuNotifications, &Settings::intEnableNotifications, "&Notifications Off",
         "&Notifications On", "Join/Leave Notifications Disabled.",
         "Join/Leave Notifications Enabled."},
        {window.mnuAutoClear, &Settings::intEnableAutoClear, "&AutoClear Off", "&AutoClear On",
         "AutoClear Disabled.", "AutoClear Enabled."},
    };
    // A threshold of 0 (before any load) would clear the pane at every line once on.
    bot().UpdateSettings([&](Settings& s) { s.intAutoClearAtLine = 500; });
    for (const auto& toggle : toggles) {
        SCOPED_TRACE(toggle.offCaption);
        window.txtChannel->clear();
        bot().UpdateSettings([&](Settings& s) { s.*toggle.value = 1; });
        toggle.item->trigger();
        EXPECT_EQ(toggle.item->text(), QString(toggle.onCaption));
        EXPECT_EQ(bot().settings().*toggle.value, 0);
        toggle.item->trigger();
        EXPECT_EQ(toggle.item->text(), QString(toggle.offCaption));
        EXPECT_EQ(bot().settings().*toggle.value, 1);
        EXPECT_EQ(Pane(), QString(toggle.disabled) + '\n' + toggle.enabled + '\n');
        const QList<ChatPaneWidget::Run> runs = window.txtChannel->Runs();
        ASSERT_FALSE(runs.isEmpty());
        EXPECT_EQ(runs.first().colour, ToQColor(kGreen));
    }
}

TEST_F(MainWindowTest, AReloadChangesTheValueButNotTheCaption) {
    files.WriteConfig(gateway.Port(), {{"Options/Enable Notifications", "0"}});
    window.mnuNotifications->trigger();  // off
    window.mnuNotifications->trigger();  // on again
    ASSERT_EQ(bot().settings().intEnableNotifications, 1);
    LogIn();
    EXPECT_EQ(bot().settings().intEnableNotifications, 0);
    EXPECT_EQ(window.mnuNotifications->text(), QStringLiteral("&Notifications Off"));
    gateway.SendLine(ChatGateway::JoinLine("carol", "0000", "SEXP"));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return bot().Roster().Count() == 2; }));
    EXPECT_FALSE(Pane().contains("has joined"));
}

TEST_F(MainWindowTest, ConnectingShowsTheStateCaptionAndChannel) {
    window.mnuConnect->trigger();
    EXPECT_EQ(window.mnuConnect->text(), QStringLiteral("&Disconnect"));
    EXPECT_EQ(window.statusPanels[0]->text(), QStringLiteral("Connection State - Connecting..."));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return bot().CurrentChannel() == "Lobby"; }));
    EXPECT_EQ(window.statusPanels[0]->text(), QStringLiteral("Connection State - Connected"));
    EXPECT_EQ(window.statusPanels[1]->text(),
              QStringLiteral("User bot1 using CHAT in channel Lobby. "));
    EXPECT_EQ(window.statusPanels[1]->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(window.windowTitle(),
              QStringLiteral("ZaRiVoK v3.0b1 - User bot1 in channel Lobby. "));
    EXPECT_EQ(window.Users->text(), QStringLiteral("Lobby (1)"));
    EXPECT_EQ(window.ChannelUsers->model()->headerData(0, Qt::Horizontal).toString(),
              QStringLiteral("Lobby"));
    EXPECT_TRUE(Pane().contains("[9:05:03 PM] Joined Channel: Lobby\n"));

    window.mnuConnect->trigger();
    EXPECT_EQ(window.mnuConnect->text(), QStringLiteral("&Connect"));
    EXPECT_EQ(window.statusPanels[0]->text(), QStringLiteral("Connection State - Disconnected"));
}

TEST_F(MainWindowTest, EnterInTheInputLineSendsAndEmptiesIt) {
    LogIn();
    QTest::keyClicks(window.txtSend, QStringLiteral("hello all"));
    QTest::keyClick(window.txtSend, Qt::Key_Return);
    EXPECT_TRUE(gateway.WaitForReceived("\r\nhello all\r\n"));
    EXPECT_EQ(window.txtSend->text(), QString());
    EXPECT_TRUE(Pane().contains("[9:05:03 PM] <bot1> hello all\n"));

    // Not connected: the text is dropped, the box emptied, and a connection started instead.
    window.mnuConnect->trigger();
    window.txtSend->setText(QStringLiteral("lost"));
    window.cmdSend->click();
    EXPECT_EQ(window.txtSend->text(), QString());
    EXPECT_TRUE(Pane().contains("Reconnecting...\n"));
    EXPECT_TRUE(gateway.WaitForConnections(2));
}

TEST_F(MainWindowTest, AutoClearReplacesThePaneWholeAndTheNewestLineStaysInView) {
    bot().UpdateSettings([&](Settings& s) {
        s.intEnableAutoClear = 1;
        s.intAutoClearAtLine = 300;
    });
    window.show();
    for (int i = 0; i < 299; ++i) bot().AppendChat(QStringLiteral("line %1\r\n").arg(i), kWhite);
    const QScrollBar* scroll = window.txtChannel->verticalScrollBar();
    EXPECT_GT(scroll->maximum(), 0);
    EXPECT_EQ(scroll->value(), scroll->maximum());
    bot().AppendChat(QStringLiteral("line 299\r\n"), kWhite);
    EXPECT_EQ(Pane(), QStringLiteral("Chat has been Auto-Cleared.\n"));
    bot().AppendChat(QStringLiteral("after\r\n"), kRed);
    EXPECT_EQ(window.txtChannel->Runs(),
              (QList<ChatPaneWidget::Run>{{"Chat has been Auto-Cleared.\r\n", Qt::white},
                                          {"after\r\n", ToQColor(kRed)}}));
}

TEST_F(MainWindowTest, TheFilesMenuOpensTheDialogsAndTheyCloseWithTheWindow) {
    window.show();
    EXPECT_EQ(window.Config(), nullptr);
    window.mnuConfig->trigger();
    ASSERT_NE(window.Config(), nullptr);
    EXPECT_TRUE(window.Config()->isVisible());
    EXPECT_EQ(window.Config()->windowTitle(), QStringLiteral("ZaRiVoK Config"));
    window.mnuDatabase->trigger();
    ASSERT_NE(window.Database(), nullptr);
    EXPECT_TRUE(window.Database()->isVisible());
    EXPECT_EQ(window.Database()->windowTitle(), QStringLiteral("Database"));
    // Neither blocks the main window.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    window.mnuWhisper->trigger();

    window.close();
    EXPECT_FALSE(window.Config()->isVisible());
    EXPECT_FALSE(window.Database()->isVisible());
    EXPECT_FALSE(window.Whispers().Window()->isVisible());
}

class TrayTest : public testing::MainWindowFixture, public ::testing::WithParamInterface<bool> {
  protected:
    TrayTest() : MainWindowFixture(GetParam()) {}
};

// With a notification area the minimised window hides behind one icon that a left click turns
// back into the window; without one it stays an ordinary minimised window.
TEST_P(TrayTest, MinimisingHidesTheWindowOnlyWhereATrayIconCanBringItBack) {
    const bool tray = GetParam();
    const QString caption = QStringLiteral("ZaRiVoK v3.0b1 - User ") + QString(40, u'x') +
                            QStringLiteral(" in channel Lobby. ");
    window.SetCaption(caption);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.showMinimized();
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return window.isMinimized(); }));
    EXPECT_EQ(window.Tray().IsShown(), tray);
    if (!tray) {
        // Nothing hides it later either: the hiding would have been the next event.
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        EXPECT_TRUE(window.isVisible());
        return;
    }
    EXPECT_EQ(window.Tray().ToolTip(), caption.left(63));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return !window.isVisible(); }));

    // Only the left button brings it back.
    auto* icon = window.findChild<QSystemTrayIcon*>();
    ASSERT_NE(icon, nullptr);
    for (const auto reason :
         {QSystemTrayIcon::Context, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::MiddleClick}) {
        Q_EMIT icon->activated(reason);
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
    Q_EMIT icon->activated(QSystemTrayIcon::Trigger);
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return window.isVisible(); }));
    EXPECT_FALSE(window.isMinimized());
    EXPECT_FALSE(window.Tray().IsShown());
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutANotificationArea, TrayTest, ::testing::Bool());

}  // namespace
}  // namespace zarivok
