#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "connection/Connection.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"
#include "support/WriteProtection.h"
#include "ui/ConfigDialog.h"

namespace zarivok {
namespace {

using testing::BotHarness;
using testing::RecordingPane;

constexpr char kEmptyFile[] =
    "[Login]\r\nUser=\r\nPass=\r\nServer=\r\nHome=\r\n\r\n[Options]\r\nTrigger=\r\nReconnect=\r\n"
    "IdleMsg=\r\nEnable AutoClear=0\r\nAutoClear At Line=\r\nEnable Notifications=0\r\n";

class ConfigDialogTest : public ::testing::Test {
  protected:
    QByteArray ConfigFile() const { return harness.ReadFile(QStringLiteral("Config.ini")); }

    QStringList RedLines() const {
        QStringList lines;
        for (const RecordingPane::Run& run : harness.pane.Runs()) {
            if (run.colour == kRed) lines.append(run.text);
        }
        return lines;
    }

    // Every box, in the order of the file's keys, with the text it shows.
    QStringList BoxTexts() const {
        QStringList texts;
        for (const QLineEdit* box :
             {dialog.txtUsername, dialog.txtPassword, dialog.txtServer, dialog.txtHome,
              dialog.txtTrigger, dialog.txtRecon, dialog.txtIdleMsg, dialog.txtAutoClear}) {
            texts.append(box->text());
        }
        return texts;
    }

    BotHarness harness{QString(), BotHarness::DayLogging::Off};
    ConfigDialog dialog{harness.bot()};
};

TEST_F(ConfigDialogTest, SaveWithEverythingEmptyWritesTheThirteenLinesAndHides) {
    dialog.ShowConfig();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(BoxTexts(), QStringList(8, QString()));
    EXPECT_FALSE(dialog.chkAutoClear->isChecked());
    EXPECT_FALSE(dialog.chkNotifications->isChecked());

    QTest::mouseClick(dialog.cmdSave, Qt::LeftButton);
    EXPECT_EQ(ConfigFile(), kEmptyFile);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(RedLines(), QStringList());
}

TEST_F(ConfigDialogTest, EachBoxShowsItsKeyAndSavesBackToIt) {
    harness.WriteFile(QStringLiteral("Config.ini"),
                      "[login]\r\n user = u\r\nPass=p\r\nServer=s:6112\r\nHome=Op Home\r\n"
                      "[OPTIONS]\r\nTrigger=.\r\nReconnect=12x\r\nIdleMsg=/me idles\r\n"
                      "Enable AutoClear=1\r\nAutoClear At Line=lots\r\nEnable Notifications=0\r\n"
                      "Extra=dropped\r\n");
    dialog.ShowConfig();
    EXPECT_EQ(BoxTexts(),
              QStringList({"u", "p", "s:6112", "Op Home", ".", "12x", "/me idles", "lots"}));
    EXPECT_TRUE(dialog.chkAutoClear->isChecked());
    EXPECT_FALSE(dialog.chkNotifications->isChecked());

    // Typed texts go out unchecked and exactly as typed, blanks included.
    dialog.txtIdleMsg->setText(QStringLiteral(" spaced "));
    QTest::mouseClick(dialog.chkAutoClear, Qt::LeftButton);
    QTest::mouseClick(dialog.chkNotifications, Qt::LeftButton);
    QTest::mouseClick(dialog.cmdSave, Qt::LeftButton);
    EXPECT_EQ(ConfigFile(),
              "[Login]\r\nUser=u\r\nPass=p\r\nServer=s:6112\r\nHome=Op Home\r\n\r\n[Options]\r\n"
              "Trigger=.\r\nReconnect=12x\r\nIdleMsg= spaced \r\nEnable AutoClear=0\r\n"
              "AutoClear At Line=lots\r\nEnable Notifications=1\r\n");
}

TEST_F(ConfigDialogTest, ASwitchIsCheckedOnlyForTheNumberOne) {
    const struct {
        const char* name;
        QString value;  // null: the key is missing
        bool checked;
    } cases[] = {
        {"missing", QString(), false},
        {"empty", "", false},
        {"one", "1", true},
        {"zero", "0", false},
        {"two", "2", false},
        {"not a number", "x", false},
        {"leading zero", "01", true},
        {"plus sign", "+1", true},
        {"blanks around", " 1 ", true},
        {"minus one", "-1", false},
        {"one and more", "1x", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        harness.WriteConfig(
            1, {{"Options/Enable AutoClear", c.value}, {"Options/Enable Notifications", c.value}});
        ConfigDialog fresh(harness.bot());
        fresh.ShowConfig();
        EXPECT_EQ(fresh.chkAutoClear->isChecked(), c.checked);
        EXPECT_EQ(fresh.chkNotifications->isChecked(), c.checked);
    }
}

TEST_F(ConfigDialogTest, CancelKeepsTheEditsForTheNextOpeningAndWritesNothing) {
    harness.WriteConfig(1);
    const QByteArray before = ConfigFile();
    dialog.ShowConfig();
    dialog.txtUsername->setText(QStringLiteral("edited"));
    QTest::mouseClick(dialog.chkNotifications, Qt::LeftButton);
    // Opening it again while it is shown only brings it forward.
    dialog.ShowConfig();
    EXPECT_EQ(dialog.txtUsername->text(), "edited");

    QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(ConfigFile(), before);

    dialog.ShowConfig();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.txtUsername->text(), "edited");
    EXPECT_FALSE(dialog.chkNotifications->isChecked());
}

TEST_F(ConfigDialogTest, TheCloseBoxDropsTheEditsAndTheNextOpeningReadsTheFile) {
    harness.WriteConfig(1);
    dialog.ShowConfig();
    dialog.txtUsername->setText(QStringLiteral("edited"));
    QTest::mouseClick(dialog.chkNotifications, Qt::LeftButton);
    ASSERT_TRUE(dialog.close());
    EXPECT_FALSE(dialog.isVisible());

    // The file changed meanwhile: the reopened dialog shows the new one.
    harness.WriteConfig(1, {{"Login/User", "fromfile"}});
    dialog.ShowConfig();
    EXPECT_EQ(dialog.txtUsername->text(), "fromfile");
    EXPECT_TRUE(dialog.chkNotifications->isChecked());

    // Save and Cancel hide without unloading: the file is not read again after them.
    QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
    harness.WriteConfig(1, {{"Login/User", "later"}});
    dialog.ShowConfig();
    EXPECT_EQ(dialog.txtUsername->text(), "fromfile");
}

TEST_F(ConfigDialogTest, SaveWhileConnectedChangesNeitherTheConnectionNorTheRunningSettings) {
    ChatGateway gateway;
    harness.WriteConfig(gateway.Port());
    ASSERT_TRUE(harness.LogIn());
    Bot& bot = harness.bot();
    const QByteArray receivedBefore = gateway.Received();

    dialog.ShowConfig();
    dialog.txtUsername->setText(QStringLiteral("other"));
    dialog.txtHome->setText(QStringLiteral("Elsewhere"));
    dialog.txtTrigger->setText(QStringLiteral("."));
    dialog.txtServer->setText(QStringLiteral("127.0.0.1:%1").arg(ChatGateway::UnusedPort()));
    QTest::mouseClick(dialog.cmdSave, Qt::LeftButton);
    ASSERT_FALSE(dialog.isVisible());

    EXPECT_EQ(bot.settings().strUser, "bot1");
    EXPECT_EQ(bot.settings().strHome, "Lobby");
    EXPECT_EQ(bot.settings().strTrigger, "!");
    // The old trigger still commands, on the same connection; nothing else was sent.
    gateway.SendLine(ChatGateway::TalkLine("QuEnDaR", "0010", "!say still here"));
    ASSERT_TRUE(gateway.WaitForReceived("still here\r\n"));
    EXPECT_EQ(gateway.Received(), receivedBefore + "still here\r\n");
    EXPECT_EQ(gateway.ConnectionCount(), 1);
    EXPECT_FALSE(gateway.IsClosed());
    EXPECT_TRUE(bot.GetConnection().Socket().IsConnected());

    EXPECT_EQ(bot.LoadSettings(), QStringList());
    EXPECT_EQ(bot.settings().strUser, "other");
    EXPECT_EQ(bot.settings().strHome, "Elsewhere");
    EXPECT_EQ(bot.settings().strTrigger, ".");
}

TEST_F(ConfigDialogTest, AFailedSaveIsSaidInRedAndKeepsTheDialogWithItsText) {
    harness.WriteConfig(1);
    const QByteArray before = ConfigFile();
    dialog.ShowConfig();
    dialog.txtUsername->setText(QStringLiteral("typed"));
    {
        const WriteProtection readOnlyFolder(harness.Folder());
        QTest::mouseClick(dialog.cmdSave, Qt::LeftButton);
    }
    const QStringList red = RedLines();
    ASSERT_EQ(red.size(), 1);
    const QString prefix =
        QStringLiteral("Could not write %1: ").arg(harness.Path(QStringLiteral("Config.ini")));
    EXPECT_TRUE(red[0].startsWith(prefix)) << red[0].toStdString();
    EXPECT_GT(red[0].size(), prefix.size() + 2) << "the reason is missing";
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.txtUsername->text(), "typed");
    EXPECT_EQ(ConfigFile(), before);

    // Once the folder is writable again, the same Save goes through.
    QTest::mouseClick(dialog.cmdSave, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(ConfigFile().contains("User=typed\r\n"));
}

TEST_F(ConfigDialogTest, OpensWithTheFocusInTheUserNameAndTabsThroughTheFormOrder) {
    dialog.ShowConfig();
    // Activation arrives from the window system, after the call.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() != nullptr; }));
    EXPECT_EQ(QApplication::focusWidget(), dialog.txtUsername);

    QStringList order;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(order, QStringList({"txtPassword", "txtServer", "txtHome", "txtIdleMsg", "txtRecon",
                                  "txtTrigger", "txtAutoClear", "chkAutoClear", "chkNotifications",
                                  "cmdSave", "cmdCancel", "txtUsername"}));

    // Reopened after Cancel (which took the focus), the user name has it again once the window
    // is active.
    QTest::mouseClick(dialog.cmdCancel, Qt::LeftButton);
    dialog.cmdCancel->setFocus();
    dialog.ShowConfig();
    EXPECT_EQ(dialog.focusWidget(), dialog.txtUsername);
}

}  // namespace
}  // namespace zarivok
