#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "settings/Settings.h"
#include "settings/SettingsWriter.h"
#include "support/WriteProtection.h"

namespace zarivok {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

class SettingsWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path() const { return dir_.filePath(QStringLiteral("Config.ini")); }

    QTemporaryDir dir_;
};

TEST_F(SettingsWriterTest, WritesExactlyTheThirteenLinesOverAnOldFile) {
    QFile old(Path());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("; a comment\r\n[Other]\r\nKey=gone\r\n" + QByteArray(500, 'x'));
    old.close();

    const auto error =
        WriteSettingsFile(Path(), QString::fromUtf8("J\u00f6rg"), QStringLiteral("p=w"),
                          QStringLiteral("host"), QStringLiteral(" Home "), QStringLiteral("!"),
                          QStringLiteral("10000"), QStringLiteral("idle \u2713"),
                          QStringLiteral("0"), QStringLiteral("500"), QStringLiteral("1"));
    EXPECT_EQ(error, std::nullopt);
    EXPECT_EQ(ReadAll(Path()),
              "[Login]\r\nUser=J\xC3\xB6rg\r\nPass=p=w\r\nServer=host\r\nHome= Home \r\n\r\n"
              "[Options]\r\nTrigger=!\r\nReconnect=10000\r\nIdleMsg=idle \xE2\x9C\x93\r\n"
              "Enable AutoClear=0\r\nAutoClear At Line=500\r\nEnable Notifications=1\r\n");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"Config.ini"});
}

TEST_F(SettingsWriterTest, WhatIsWrittenReadsBackExceptOuterBlanksAndOverlongTails) {
    const QString longIdle = QString(100, u'a') + QString(100, u'b');
    ASSERT_EQ(WriteSettingsFile(Path(), QStringLiteral("alice"), QStringLiteral("  pw  "),
                                QStringLiteral("chat.example.net"), QString::fromUtf8("Cl\u00e4n"),
                                QStringLiteral("."), QStringLiteral("65535"), longIdle,
                                QStringLiteral("1"), QStringLiteral("-12"), QStringLiteral("0")),
              std::nullopt);
    Settings settings;
    EXPECT_EQ(LoadSettings(Path(), settings), QStringList());
    EXPECT_EQ(settings.strUser, "alice");
    EXPECT_EQ(settings.strPass, "pw");
    EXPECT_EQ(settings.strServer, "chat.example.net");
    EXPECT_EQ(settings.strHome, QString::fromUtf8("Cl\u00e4n"));
    EXPECT_EQ(settings.strTrigger, ".");
    EXPECT_EQ(settings.strReconnect, "65535");
    EXPECT_EQ(settings.strIdleMsg, longIdle.left(127));
    EXPECT_EQ(settings.intEnableAutoClear, 1);
    EXPECT_EQ(settings.intAutoClearAtLine, -12);
    EXPECT_EQ(settings.intEnableNotifications, 0);
}

TEST_F(SettingsWriterTest, RefusesAValueWithALineBreakAndKeepsTheOldFile) {
    // Written as it is, the rest of such a value would read as a key (or section) of its own.
    const QByteArray oldContent = "[Login]\r\nUser=old\r\nServer=chat.example.net\r\n";
    const struct {
        const char* key;
        int index;
        QString value;
    } cases[] = {
        {"User", 0, "bot\r\nServer=evil.example.net"},
        {"Pass", 1, "pw\n[Options]"},
        {"Home", 3, "Lobby\rTrigger=?"},
        {"Enable Notifications", 9, "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        QFile old(Path());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(oldContent);
        old.close();
        QString values[10] = {"bot", "pw", "host", "Lobby", "!", "10000", "idle", "0", "500", "1"};
        values[c.index] = c.value;
        const auto error =
            WriteSettingsFile(Path(), values[0], values[1], values[2], values[3], values[4],
                              values[5], values[6], values[7], values[8], values[9]);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(*error, QStringLiteral("Could not write %1: the value of \"%2\" holds a line "
                                         "break; a value must stay on one line.")
                              .arg(Path(), c.key));
        EXPECT_EQ(ReadAll(Path()), oldContent);
    }
}

TEST_F(SettingsWriterTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    const QByteArray oldContent = "[Login]\r\nUser=old\r\n";
    QFile old(Path());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(oldContent);
    old.close();

    std::optional<QString> error;
    {
        const WriteProtection readOnlyFolder(dir_.path());
        error = WriteSettingsFile(Path(), "new", "", "", "", "", "", "", "", "", "");
    }
    ASSERT_TRUE(error.has_value());
    const QString prefix = QStringLiteral("Could not write %1: ").arg(Path());
    EXPECT_TRUE(error->startsWith(prefix)) << error->toStdString();
    EXPECT_GT(error->size(), prefix.size()) << "the reason is missing";
    EXPECT_FALSE(error->contains(u'\n'));
    EXPECT_EQ(ReadAll(Path()), oldContent);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Config.ini"});

    const QString noFolder = dir_.filePath(QStringLiteral("missing/Config.ini"));
    EXPECT_TRUE(WriteSettingsFile(noFolder, "", "", "", "", "", "", "", "", "", "").has_value());
}

// The file holds the password: a new one is the owner's alone whatever the umask allows, while one
// that exists keeps the mode its owner chose.
TEST_F(SettingsWriterTest, ANewFileIsTheOwnersAloneAndAnOldOneKeepsItsMode) {
    const mode_t oldMask = ::umask(022);
    EXPECT_EQ(WriteSettingsFile(Path(), "bot", "secret", "", "", "", "", "", "", "", ""),
              std::nullopt);
    EXPECT_EQ(FileMode(Path()), 0600);

    ASSERT_EQ(::chmod(QFile::encodeName(Path()).constData(), 0640), 0);
    EXPECT_EQ(WriteSettingsFile(Path(), "bot", "other", "", "", "", "", "", "", "", ""),
              std::nullopt);
    ::umask(oldMask);
    EXPECT_EQ(FileMode(Path()), 0640);
    EXPECT_TRUE(ReadAll(Path()).contains("Pass=other\r\n"));
}

}  // namespace
}  // namespace zarivok
