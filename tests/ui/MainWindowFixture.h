#pragma once

#include <gtest/gtest.h>

#include <QTime>

#include "bot/Bot.h"
#include "connection/Outgoing.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"
#include "ui/ChatPaneWidget.h"
#include "ui/MainWindow.h"

namespace zarivok::testing {

// The window on a temporary profile folder (the harness lends its folder and its Config.ini
// writer), with a fixed clock and a quit that is counted instead of ending the tests.
class MainWindowFixture : public ::testing::Test {
  protected:
    explicit MainWindowFixture(bool trayAvailable = false)
        : window(ProfilePaths::ForFolder(files.Folder()),
                 {[this] { return trayAvailable_; }, [this] { return inFront; }}),
          trayAvailable_(trayAvailable) {
        window.bot().SetClock([] { return QTime(21, 5, 3); });
        window.bot().SetQuitHandler([this] { ++quits; });
        // Time runs an hour per look, so the flood budget never holds a line back.
        window.bot().GetOutgoing().SetClock(
            [now = qint64(0)]() mutable { return now += 3600 * 1000; });
        files.WriteConfig(gateway.Port());
    }

    Bot& bot() { return window.bot(); }
    QString Pane() const { return window.txtChannel->toPlainText(); }

    void LogIn() {
        window.mnuConnect->trigger();
        ASSERT_TRUE(ChatGateway::WaitUntil([&] { return bot().CurrentChannel() == "Lobby"; }));
    }

    ChatGateway gateway;
    BotHarness files;
    MainWindow window;
    bool trayAvailable_;
    // Whether the operator looks at the window, for alerts.
    bool inFront = true;
    int quits = 0;
};

}  // namespace zarivok::testing
