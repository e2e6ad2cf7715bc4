#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "commands/UserDatabase.h"
#include "support/WriteProtection.h"

namespace zarivok {
namespace {

class UserDatabaseTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path() const { return dir_.filePath(QStringLiteral("Users.txt")); }

    void Write(const QByteArray& bytes) const {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray Read() const {
        QFile file(Path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    QTemporaryDir dir_;
};

TEST_F(UserDatabaseTest, FilesLoadAndSaveBackByteForByte) {
    struct Case {
        const char* name;
        QByteArray file;
        QStringList entries;
        QByteArray saved;  // empty: the file itself
    };
    const Case cases[] = {
        {"two names", "alice\r\nBob\r\n", {"alice", "Bob"}, {}},
        {"empty middle entry", "alice\r\n\r\nbob\r\n", {"alice", "", "bob"}, {}},
        {"no final line end", "alice\r\nbob", {"alice", "bob"}, "alice\r\nbob\r\n"},
        {"bare line feeds", "alice\nbob\n", {"alice", "bob"}, "alice\r\nbob\r\n"},
        {"kept as is",
         " alice \r\nALICE\r\nalice\r\na\rb\r\n",
         {" alice ", "ALICE", "alice", "a\rb"},
         {}},
        {"only an empty entry", "\r\n", {""}, {}},
        {"windows-1252",
         "J\xF6rg\r\n\x80uro\r\n",
         {QString::fromUtf8("J\u00f6rg"), QString::fromUtf8("\u20acuro")},
         {}},
        {"utf-8",
         "J\xC3\xB6rg\r\n\xE2\x9C\x93\r\n",
         {QString::fromUtf8("J\u00f6rg"), QString::fromUtf8("\u2713")},
         {}},
        {"empty file", "", {}, {}},
        // Notepad starts a UTF-8 file with a byte order mark: no part of the first name.
        {"utf-8 with a byte order mark",
         "\xEF\xBB\xBFJ\xC3\xB6rg\r\nalice\r\n",
         {QString::fromUtf8("J\u00f6rg"), "alice"},
         {}},
        {"a byte order mark alone", "\xEF\xBB\xBF", {}, {}},
        {"a U+FEFF beginning the first name behind the mark",
         "\xEF\xBB\xBF\xEF\xBB\xBFx\r\n",
         {QChar(QChar::ByteOrderMark) + QStringLiteral("x")},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write(c.file);
        UserDatabase database(Path());
        database.Load();
        EXPECT_EQ(database.Entries(), c.entries);
        EXPECT_EQ(database.Save(), std::nullopt);
        EXPECT_EQ(Read(), c.saved.isEmpty() ? c.file : c.saved);
    }
}

TEST_F(UserDatabaseTest, SavesNewNamesAndKeepsTheCodePageWhileTheyFit) {
    UserDatabase fresh(Path());
    fresh.Append("alice");
    fresh.Append("Bob");
    EXPECT_EQ(fresh.Save(), std::nullopt);
    EXPECT_EQ(Read(), "alice\r\nBob\r\n");

    Write("J\xF6rg\r\n");
    UserDatabase database(Path());
    database.Load();
    database.Append(QString::fromUtf8("Zo\u00eb"));
    EXPECT_EQ(database.Save(), std::nullopt);
    EXPECT_EQ(Read(), "J\xF6rg\r\nZo\xEB\r\n");
    // A name the old code page cannot hold turns the whole file into UTF-8, readable again.
    database.Append(QString::fromUtf8("\u2713"));
    EXPECT_EQ(database.Save(), std::nullopt);
    EXPECT_EQ(Read(), "J\xC3\xB6rg\r\nZo\xC3\xAB\r\n\xE2\x9C\x93\r\n");
    UserDatabase reread(Path());
    reread.Load();
    EXPECT_EQ(reread.Entries(), database.Entries());
}

TEST_F(UserDatabaseTest, AWindows1252FileWhoseRestWouldReadAsUtf8BecomesUtf8) {
    // "caf\xE9" makes the file invalid UTF-8; without it, "\xC3\xA9" alone would read as "é".
    Write("caf\xE9\r\n\xC3\xA9\r\n");
    UserDatabase database(Path());
    database.Load();
    ASSERT_EQ(database.Entries(),
              QStringList({QString::fromUtf8("caf\u00e9"), QString::fromUtf8("\u00c3\u00a9")}));
    database.RemoveUserAt(0);
    EXPECT_EQ(database.Save(), std::nullopt);
    EXPECT_EQ(Read(), "\xC3\x83\xC2\xA9\r\n");
    UserDatabase reread(Path());
    reread.Load();
    EXPECT_EQ(reread.Entries(), database.Entries());
}

TEST_F(UserDatabaseTest, AFirstNameStartingWithUFEFFIsNotTakenForAByteOrderMark) {
    UserDatabase database(Path());
    // Built from the character itself: QString::fromUtf8 would drop it as a byte order mark.
    database.Append(QChar(QChar::ByteOrderMark) + QStringLiteral("bob"));
    EXPECT_EQ(database.Save(), std::nullopt);
    EXPECT_EQ(Read(),
              "\xEF\xBB\xBF\xEF\xBB\xBF"
              "bob\r\n");
    UserDatabase reread(Path());
    reread.Load();
    EXPECT_EQ(reread.Entries(), database.Entries());
}

TEST_F(UserDatabaseTest, AMissingFileIsAnEmptyListThatOnlyTheMasterCommands) {
    UserDatabase database(Path());
    database.Append("alice");
    database.Load();
    EXPECT_TRUE(database.Entries().isEmpty());
    EXPECT_TRUE(database.IsAuthorizedUser("QuEnDaR"));
    EXPECT_FALSE(database.IsAuthorizedUser("alice"));
    EXPECT_FALSE(database.IsAuthorizedUser(""));
}

TEST_F(UserDatabaseTest, AuthorizesListedNamesInAnyCaseAndTheMasterInExactCase) {
    UserDatabase database(Path());
    database.Append("Alice");
    database.Append("");
    database.Append(QString::fromUtf8("J\u00f6rg"));
    const struct {
        const char* name;
        bool authorized;
    } cases[] = {
        {"aLiCe", true},   {"Alice", true},       {"Alic", false},
        {"Alice ", false}, {"J\xC3\x96RG", true}, {"", true},
        {"QuEnDaR", true}, {"quendar", false},    {"QUENDAR", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(database.IsAuthorizedUser(QString::fromUtf8(c.name)), c.authorized);
    }

    // Switched off, the master name is one more unlisted name, unless it is listed.
    database.SetMasterEnabled(false);
    EXPECT_FALSE(database.IsAuthorizedUser("QuEnDaR"));
    EXPECT_TRUE(database.IsAuthorizedUser("Alice"));
    database.Append("quendar");
    EXPECT_TRUE(database.IsAuthorizedUser("QuEnDaR"));
    database.SetMasterEnabled(true);
    EXPECT_TRUE(database.IsAuthorizedUser("QUENDAR")) << "a listed spelling of the master name";
}

TEST_F(UserDatabaseTest, FindsTheFirstMatchAndRemovesByIndex) {
    UserDatabase database(Path());
    for (const char* name : {"alice", "Bob", "BOB", "carol"}) database.Append(name);
    EXPECT_EQ(database.Find("bob"), 1);
    EXPECT_EQ(database.Find("CAROL"), 3);
    EXPECT_EQ(database.Find("dave"), -1);

    database.RemoveUserAt(1);
    EXPECT_EQ(database.Entries(), QStringList({"alice", "BOB", "carol"}));
    database.RemoveUserAt(1);
    EXPECT_EQ(database.Entries(), QStringList({"alice", "carol"}));
    for (const qsizetype invalid : {qsizetype{-1}, qsizetype{2}, qsizetype{1} << 40}) {
        database.RemoveUserAt(invalid);
    }
    EXPECT_EQ(database.Entries(), QStringList({"alice", "carol"}));

    UserDatabase single(Path());
    single.Append("alice");
    single.RemoveUserAt(0);
    EXPECT_TRUE(single.Entries().isEmpty());
    EXPECT_EQ(single.Save(), std::nullopt);
    EXPECT_EQ(Read(), QByteArray());
}

TEST_F(UserDatabaseTest, AFailedSaveReportsTheFileAndKeepsBothOldFileAndMemory) {
    for (const bool protectFolder : {true, false}) {
        SCOPED_TRACE(protectFolder ? "read-only folder" : "read-only file");
        Write("alice\r\n");
        UserDatabase database(Path());
        database.Load();
        database.Append("bob");
        std::optional<QString> error;
        {
            const WriteProtection protection(protectFolder ? dir_.path() : Path());
            error = database.Save();
        }
        ASSERT_TRUE(error.has_value());
        const QString prefix = QStringLiteral("Could not save %1: ").arg(Path());
        EXPECT_TRUE(error->startsWith(prefix)) << error->toStdString();
        EXPECT_GT(error->size(), prefix.size()) << "the reason is missing";
        EXPECT_EQ(Read(), "alice\r\n");
        EXPECT_EQ(database.Entries(), QStringList({"alice", "bob"}));
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"Users.txt"});
    }
}

TEST_F(UserDatabaseTest, ChangesMadeWhileLoadingStayAndReachTheFile) {
    Write("alice\r\nbob\r\n");
    UserDatabase database(Path());
    database.Append("stale");
    int calls = 0;
    database.Load([&] {
        ++calls;
        // A command that runs while the file loads already sees the whole new list.
        EXPECT_FALSE(database.IsAuthorizedUser("stale"));
        EXPECT_TRUE(database.IsAuthorizedUser("bob"));
        if (calls == 1) {
            database.Append("carol");
            EXPECT_EQ(database.Save(), std::nullopt);
        }
    });
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(database.Entries(), QStringList({"alice", "bob", "carol"}));
    EXPECT_EQ(Read(), "alice\r\nbob\r\ncarol\r\n");
}

TEST_F(UserDatabaseTest, ALoadNestedInALoadLeavesOneConsistentList) {
    Write("alice\r\nbob\r\ncarol\r\n");
    UserDatabase database(Path());
    int outerCalls = 0;
    int innerCalls = 0;
    database.Load([&] {
        if (++outerCalls != 1) return;
        database.RemoveUserAt(database.Find("alice"));
        ASSERT_EQ(database.Save(), std::nullopt);
        // Another logon while this load runs: its load replaces the list under the outer one.
        database.Load([&] {
            ++innerCalls;
            database.RemoveUserAt(0);
        });
        ASSERT_EQ(database.Save(), std::nullopt);
    });
    EXPECT_EQ(outerCalls, 3);
    EXPECT_EQ(innerCalls, 2);
    EXPECT_TRUE(database.Entries().isEmpty());
    EXPECT_EQ(Read(), QByteArray());
}

}  // namespace
}  // namespace zarivok
