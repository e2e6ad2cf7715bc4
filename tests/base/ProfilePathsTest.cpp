#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/ProfilePaths.h"

namespace zarivok {
namespace {

TEST(ProfilePathsTest, TheUsersFolderFollowsTheXdgRules) {
    const struct {
        const char* xdgConfigHome;
        const char* expected;
    } cases[] = {
        {"/home/ann/cfg", "/home/ann/cfg/zarivok"},
        {"/home/ann/cfg/", "/home/ann/cfg/zarivok"},
        {"", "/home/ann/.config/zarivok"},
        // A relative value is invalid and is ignored, rather than read from wherever the
        // program happens to start.
        {"cfg", "/home/ann/.config/zarivok"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.xdgConfigHome);
        EXPECT_EQ(UserProfileFolder(QString::fromUtf8(c.xdgConfigHome), "/home/ann"),
                  QString::fromUtf8(c.expected));
    }
}

TEST(ProfilePathsTest, OnlyTheInstalledFolderItselfCountsAsInstalled) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    ASSERT_TRUE(root.mkpath("usr/bin"));
    ASSERT_TRUE(root.mkpath("build/app"));
    // A merged /usr: /bin is a link to /usr/bin.
    ASSERT_TRUE(QFile::link(root.filePath("usr/bin"), root.filePath("bin")));

    EXPECT_TRUE(IsInstalledFolder(root.filePath("usr/bin"), root.filePath("usr/bin")));
    EXPECT_TRUE(IsInstalledFolder(root.filePath("bin"), root.filePath("usr/bin/")));
    EXPECT_FALSE(IsInstalledFolder(root.filePath("build/app"), root.filePath("usr/bin")));
    EXPECT_FALSE(IsInstalledFolder(root.filePath("usr"), root.filePath("usr/bin")));
    // Neither side existing must not count as a match.
    EXPECT_FALSE(IsInstalledFolder(root.filePath("gone"), root.filePath("gone")));
}

}  // namespace
}  // namespace zarivok
