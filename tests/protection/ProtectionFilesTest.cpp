#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "protection/ProtectionFiles.h"
#include "support/WriteProtection.h"

namespace zarivok {
namespace {

class ProtectionFilesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString Path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    QString Settings() const { return Path("Protection.ini"); }
    QString Bans() const { return Path("Banlist.txt"); }
    QString Phrases() const { return Path("Phrases.txt"); }

    void Write(const QString& path, const QByteArray& bytes) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    ProtectionFiles ReadAll() const { return ReadProtectionFiles(Settings(), Bans(), Phrases()); }

    QTemporaryDir dir_;
};

TEST_F(ProtectionFilesTest, MissingFilesAreEmptyWithoutAProblem) {
    const ProtectionFiles files = ReadAll();
    EXPECT_EQ(files.problems, QStringList());
    EXPECT_EQ(files.texts, ProtectionTexts());
    EXPECT_EQ(files.bans, QList<BanEntry>());
    EXPECT_EQ(files.phrases, QStringList());
    EXPECT_EQ(files.bansEncoding, TextEncoding::kUtf8);
    EXPECT_EQ(files.phrasesEncoding, TextEncoding::kUtf8);
}

TEST_F(ProtectionFilesTest, ReadsTheThreeFiles) {
    Write(Settings(), "[Flood]\r\nLines=5\r\n[Greet]\nText=Hi %user%\n");
    Write(Bans(), "bob\r\n\r\n*bot No bots.\nJ\xC3\xB6rg\r\n");
    Write(Phrases(), "bad word\r\n\r\nsch\xF6n\n");
    const ProtectionFiles files = ReadAll();
    EXPECT_EQ(files.problems, QStringList());
    EXPECT_EQ(files.texts.floodLines, "5");
    EXPECT_EQ(files.texts.greetText, "Hi %user%");
    EXPECT_EQ(
        files.bans,
        (QList<BanEntry>{{"bob", ""}, {"*bot", "No bots."}, {QString::fromUtf8("J\u00f6rg"), ""}}));
    EXPECT_EQ(files.bansEncoding, TextEncoding::kUtf8);
    EXPECT_EQ(files.phrases, (QStringList{"bad word", QString::fromUtf8("sch\u00f6n")}));
    EXPECT_EQ(files.phrasesEncoding, TextEncoding::kWindows1252);
}

// A list the bot saves again, unchanged, keeps its bytes: nothing an editor put there is lost.
TEST_F(ProtectionFilesTest, ListsAreWrittenBackInTheirOwnEncoding) {
    const struct {
        const char* what;
        QByteArray bans;
        QByteArray phrases;
        TextEncoding encoding;
    } cases[] = {
        {"Windows-1252", "J\xF6rg Spam in der Lobby\r\n*bot\r\n", "sch\xF6n\r\n\x80uro\r\n",
         TextEncoding::kWindows1252},
        {"UTF-8 with a byte order mark", "\xEF\xBB\xBFJ\xC3\xB6rg Spam\r\n*bot\r\n",
         "\xEF\xBB\xBFsch\xC3\xB6n\r\n\xE2\x9C\x93\r\n", TextEncoding::kUtf8WithByteOrderMark},
        {"UTF-8", "bob \xE2\x9C\x93\r\n", "x\r\n", TextEncoding::kUtf8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Write(Bans(), c.bans);
        Write(Phrases(), c.phrases);
        const ProtectionFiles files = ReadAll();
        ASSERT_EQ(files.problems, QStringList());
        EXPECT_EQ(files.bansEncoding, c.encoding);
        EXPECT_EQ(files.phrasesEncoding, c.encoding);
        EXPECT_EQ(WriteBanList(Bans(), files.bans, files.bansEncoding), std::nullopt);
        EXPECT_EQ(WritePhrases(Phrases(), files.phrases, files.phrasesEncoding), std::nullopt);
        EXPECT_EQ(Read(Bans()), c.bans);
        EXPECT_EQ(Read(Phrases()), c.phrases);
    }
}

TEST_F(ProtectionFilesTest, SavedSettingsReadBack) {
    ProtectionTexts texts;
    texts.greetEnabled = "1";
    texts.greetText = QString::fromUtf8("Gr\u00fc\u00df dich, %user%.");
    texts.floodLines = "five";
    ASSERT_EQ(WriteProtectionSettings(Settings(), texts), std::nullopt);
    EXPECT_EQ(ReadAll().texts, texts);
}

TEST_F(ProtectionFilesTest, ANewFileIsItsOwnersAloneAndAnOldOneKeepsItsMode) {
    const std::function<std::optional<QString>(const QString&)> writers[] = {
        [](const QString& path) { return WriteProtectionSettings(path, {}); },
        [](const QString& path) {
            return WriteBanList(path, {{"bob", "why"}}, TextEncoding::kUtf8);
        },
        [](const QString& path) { return WritePhrases(path, {"x"}, TextEncoding::kUtf8); },
    };
    for (const auto& write : writers) {
        const QString fresh = Path("fresh");
        const QString old = Path("old");
        QFile::remove(fresh);
        Write(old, "old\r\n");
        ASSERT_EQ(::chmod(QFile::encodeName(old).constData(), 0644), 0);

        EXPECT_EQ(write(fresh), std::nullopt);
        EXPECT_EQ(write(old), std::nullopt);
        EXPECT_EQ(FileMode(fresh), 0600);
        EXPECT_EQ(FileMode(old), 0644);
        EXPECT_NE(Read(old), "old\r\n");
    }
}

TEST_F(ProtectionFilesTest, AFolderInPlaceOfAFileIsOneProblem) {
    const struct {
        const char* name;
    } cases[] = {{"Protection.ini"}, {"Banlist.txt"}, {"Phrases.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(QDir(dir.path()).mkdir(QLatin1String(c.name)));
        const QString path = dir.filePath(QLatin1String(c.name));
        const ProtectionFiles files =
            ReadProtectionFiles(dir.filePath("Protection.ini"), dir.filePath("Banlist.txt"),
                                dir.filePath("Phrases.txt"));
        ASSERT_EQ(files.problems.size(), 1);
        EXPECT_TRUE(files.problems[0].startsWith(QStringLiteral("Could not read %1: ").arg(path)))
            << files.problems[0].toStdString();
        EXPECT_GT(files.problems[0].size(), QStringLiteral("Could not read %1: ").arg(path).size());
        EXPECT_EQ(files.texts, ProtectionTexts());
    }
}

TEST_F(ProtectionFilesTest, AFailedSaveNamesTheFileAndKeepsTheOldOne) {
    Write(Settings(), "[Greet]\r\nText=old\r\n");
    ProtectionTexts texts;
    texts.greetText = "line\r\nbreak";
    EXPECT_EQ(WriteProtectionSettings(Settings(), texts),
              QStringLiteral("Could not save %1: the value of \"Greet/Text\" holds a line break; a "
                             "value must stay on one line.")
                  .arg(Settings()));
    EXPECT_EQ(Read(Settings()), "[Greet]\r\nText=old\r\n");

    const QString folder = Path("Banlist.txt");
    ASSERT_TRUE(QDir().mkdir(folder));
    const std::optional<QString> problem = WriteBanList(folder, {{"bob", ""}}, TextEncoding::kUtf8);
    ASSERT_NE(problem, std::nullopt);
    EXPECT_TRUE(problem->startsWith(QStringLiteral("Could not save %1: ").arg(folder)))
        << problem->toStdString();
}

TEST_F(ProtectionFilesTest, PhraseLinesAreEveryLineThatHoldsMoreThanBlanks) {
    EXPECT_EQ(ParsePhraseLines({"", "bad", " ", "\t \t", " spaced ", ""}),
              (QStringList{"bad", " spaced "}));
    EXPECT_EQ(ParsePhraseLines({}), QStringList());
}

}  // namespace
}  // namespace zarivok
