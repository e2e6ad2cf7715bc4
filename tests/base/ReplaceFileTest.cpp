#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "base/ReplaceFile.h"

namespace zarivok {
namespace {

class ReplaceFileTest : public ::testing::Test {
  protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList Files() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    QTemporaryDir dir_;
};

TEST_F(ReplaceFileTest, ReplacesTheContentAndKeepsThePermissions) {
    Write("Users.txt", "old\r\n");
    ASSERT_TRUE(QFile::setPermissions(Path("Users.txt"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions permissions = QFile::permissions(Path("Users.txt"));
    EXPECT_FALSE(ReplaceFile(Path("Users.txt"), "new\r\n"));
    EXPECT_EQ(Read("Users.txt"), "new\r\n");
    EXPECT_EQ(QFile::permissions(Path("Users.txt")), permissions);
    EXPECT_EQ(Files(), QStringList{"Users.txt"});
}

TEST_F(ReplaceFileTest, ReplacesTheFileALinkNamesAndKeepsTheLink) {
    Write("real.ini", "old");
    ASSERT_TRUE(QFile::link(Path("real.ini"), Path("Config.ini")));
    EXPECT_FALSE(ReplaceFile(Path("Config.ini"), "new"));
    EXPECT_TRUE(QFileInfo(Path("Config.ini")).isSymLink());
    EXPECT_EQ(Read("real.ini"), "new");
}

// What a save cut short by a kill or a crash leaves behind goes at the next save of that file;
// the unfinished file of a save still running, and everything else, stays.
TEST_F(ReplaceFileTest, TheNextSaveRemovesWhatAbandonedSavesLeft) {
    for (const char* name :
         {"Users.txt.Ab12Cd.saving", "Users.txt.zzzzzz.saving", "Users.txt.running.saving",
          "Users.txt.Xy34Zw.saving", "Users.txt.backup", "Config.ini.Ab12Cd.saving",
          "Users.txt.Ab12.saving"}) {
        Write(name, "partial");
    }
    // A save in another process holds its unfinished file locked.
    const int running = ::open(QFile::encodeName(Path("Users.txt.Xy34Zw.saving")), O_RDONLY);
    ASSERT_GE(running, 0);
    ASSERT_EQ(::flock(running, LOCK_EX), 0);

    EXPECT_FALSE(ReplaceFile(Path("Users.txt"), "alice\r\n"));
    ::close(running);
    EXPECT_EQ(Read("Users.txt"), "alice\r\n");
    EXPECT_EQ(Files(), (QStringList{"Config.ini.Ab12Cd.saving", "Users.txt",
                                    "Users.txt.Ab12.saving", "Users.txt.Xy34Zw.saving",
                                    "Users.txt.backup", "Users.txt.running.saving"}));
}

TEST_F(ReplaceFileTest, AMissingFolderIsAReasonAndLeavesNothing) {
    const auto problem = ReplaceFile(Path("missing/Users.txt"), "x");
    ASSERT_TRUE(problem);
    EXPECT_EQ(*problem, QStringLiteral("No such file or directory"));
    EXPECT_TRUE(Files().isEmpty());
}

}  // namespace
}  // namespace zarivok
