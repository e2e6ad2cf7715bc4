#include <gtest/gtest.h>

#include <QDir>

#include "support/BotHarness.h"

namespace zarivok {
namespace {

using testing::BotHarness;

TEST(BotSettingsTest, WrittenSettingsAreWhatTheNextLoadReads) {
    BotHarness harness;
    ASSERT_TRUE(harness.bot().WriteSettingsFile("bot1", "pw", "host:7000", "Lobby", "!", "250",
                                                "idle", "1", "20", "0"));
    EXPECT_TRUE(harness.pane.Runs().isEmpty());
    EXPECT_TRUE(harness.bot().LoadSettings().isEmpty());
    const Settings& s = harness.bot().settings();
    EXPECT_EQ(s.strServer, QStringLiteral("host:7000"));
    EXPECT_EQ(s.strReconnect, QStringLiteral("250"));
    EXPECT_EQ(s.intEnableAutoClear, 1);
    EXPECT_EQ(s.intAutoClearAtLine, 20);
    EXPECT_EQ(s.intEnableNotifications, 0);
}

TEST(BotSettingsTest, AFailedWriteIsSaidInRed) {
    BotHarness harness;
    ASSERT_TRUE(QDir(harness.Folder()).mkdir("Config.ini"));  // nothing can replace a folder
    EXPECT_FALSE(harness.bot().WriteSettingsFile("a", "b", "c", "d", "e", "1", "g", "0", "5", "0"));
    ASSERT_EQ(harness.pane.Runs().size(), 1);
    EXPECT_EQ(harness.pane.Runs().first().colour, kRed);
    EXPECT_TRUE(harness.pane.Runs().first().text.contains(harness.Path("Config.ini")));
}

TEST(BotSettingsTest, AMissingConfigIsSaidOnLoad) {
    BotHarness harness;
    const QStringList problems = harness.bot().LoadSettings();
    ASSERT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems.first().contains("there is no file"));
    EXPECT_TRUE(harness.bot().settings().strUser.isEmpty());
}

}  // namespace
}  // namespace zarivok
