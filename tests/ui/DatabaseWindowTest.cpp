#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "support/BotHarness.h"
#include "support/ChatGateway.h"
#include "support/RecordingPane.h"
#include "support/RecordingTexts.h"
#include "support/WriteProtection.h"
#include "ui/DatabaseWindow.h"

namespace zarivok {
namespace {

using testing::BotHarness;
using testing::RecordingPane;
using testing::RecordingTexts;

QStringList RedLines(const RecordingPane& pane) {
    QStringList lines;
    for (const RecordingPane::Run& run : pane.Runs()) {
        if (run.colour == kRed) lines.append(run.text);
    }
    return lines;
}

class DatabaseWindowTest : public ::testing::Test {
  protected:
    QByteArray UsersFile() const { return harness.ReadFile(QStringLiteral("Users.txt")); }
    QString UsersPath() const { return harness.Path(QStringLiteral("Users.txt")); }

    void Open(const QByteArray& file) {
        harness.WriteFile(QStringLiteral("Users.txt"), file);
        window.ShowDatabase();
    }

    void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    void Add(const QString& name) {
        window.txtAdd->setText(name);
        Click(window.cmdAdd);
    }

    void Remove(const QString& name) {
        window.txtRemove->setText(name);
        Click(window.cmdRemove);
    }

    // What Save writes, and whether it hid the window.
    QByteArray Save() {
        Click(window.cmdSave);
        EXPECT_FALSE(window.isVisible()) << "Save did not hide the window";
        return UsersFile();
    }

    QString PaneText() const { return window.rtbDatabase->toPlainText(); }

    // Each speaker says "!say <speaker> may"; the master's "?trigger" after them marks the end,
    // so silence is proven without waiting. Returns what the bot said in answer.
    static QByteArray Answers(ChatGateway& gateway, const QByteArrayList& speakers) {
        const QByteArray marker = "ZaRiVoK Trigger is: ";
        const qsizetype start = gateway.Received().size();
        const qsizetype markers = gateway.Received().count(marker);
        QByteArray lines;
        for (const QByteArray& speaker : speakers) {
            lines += ChatGateway::WireLine(
                ChatGateway::TalkLine(speaker, "0010", "!say " + speaker + " may"));
        }
        gateway.Send(lines +
                     ChatGateway::WireLine(ChatGateway::TalkLine("QuEnDaR", "0010", "?trigger")));
        if (!ChatGateway::WaitUntil([&] { return gateway.Received().count(marker) > markers; })) {
            return "(no marker)";
        }
        const QByteArray received = gateway.Received();
        return received.mid(start, received.lastIndexOf(marker) - start);
    }

    BotHarness harness{QString(), BotHarness::DayLogging::Off};
    DatabaseWindow window{harness.bot()};
};

TEST_F(DatabaseWindowTest, AddPutsTheNameAndALineEndAfterTheLastCharacterInBlack) {
    const struct {
        const char* name;
        QByteArray file;
        QStringList names;
        QByteArray saved;
    } cases[] = {
        {"after a line end", "alice\r\n", {"bob"}, "alice\r\nbob\r\n"},
        {"two adds", "", {"alice", "bob"}, "alice\r\nbob\r\n"},
        {"glued to a last line without a line end", "alice", {"bob"}, "alicebob\r\n"},
        {"an empty box adds nothing", "alice", {""}, "alice"},
        {"blanks as typed", "", {" x "}, " x \r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.file);
        // The insertion point elsewhere, with a selection: Add still appends at the very end.
        QTextCursor start(window.rtbDatabase->document());
        start.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        window.rtbDatabase->setTextCursor(start);
        for (const QString& name : c.names) {
            Add(name);
            EXPECT_EQ(window.txtAdd->text(), "");
        }
        if (c.file != c.saved) {
            QTextCursor last(window.rtbDatabase->document()->lastBlock().previous());
            last.movePosition(QTextCursor::EndOfBlock);
            EXPECT_EQ(last.charFormat().foreground().color(), QColor(Qt::black));
            EXPECT_TRUE(last.charFormat().hasProperty(QTextFormat::ForegroundBrush));
        }
        EXPECT_EQ(Save(), c.saved);
    }
}

TEST_F(DatabaseWindowTest, ADoubleClickPutsTheWordUnderThePointerIntoTheRemoveBox) {
    Open("alice\r\nbob smith\r\ncarol\r\n");
    window.txtRemove->setText(QStringLiteral("old"));
    QTextCursor cursor(window.rtbDatabase->document()->findBlockByNumber(1));
    cursor.setPosition(cursor.position() + 1);  // inside "bob"
    const QRect where = window.rtbDatabase->cursorRect(cursor);
    QTest::mouseDClick(window.rtbDatabase->viewport(), Qt::LeftButton, {}, where.center());
    EXPECT_EQ(window.txtRemove->text(), "bob");
}

TEST_F(DatabaseWindowTest, RemoveDeletesTheFirstLineEqualToTheNameIgnoringCase) {
    const struct {
        const char* name;
        QByteArray file;
        const char* remove;
        QByteArray saved;
    } cases[] = {
        {"first match, other letter case", "alice\r\nBob\r\nbob\r\n", "BOB", "alice\r\nbob\r\n"},
        {"first line", "alice\r\nbob\r\n", "alice", "bob\r\n"},
        {"last line without a line end", "alice\r\nbob", "Bob", "alice\r\n"},
        {"not there", "alice\r\nbob\r\n", "carol", "alice\r\nbob\r\n"},
        {"a part of a line is no match", "alice\r\nbob\r\n", "ali", "alice\r\nbob\r\n"},
        {"blanks count", "alice\r\n bob\r\n", "bob", "alice\r\n bob\r\n"},
        {"an empty box removes an empty line", "alice\r\n\r\nbob\r\n", "", "alice\r\nbob\r\n"},
        {"the end of the last line is no empty line", "alice\r\n", "", "alice\r\n"},
        {"an empty pane", "", "alice", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.file);
        Remove(QString::fromLatin1(c.remove));
        EXPECT_EQ(window.txtRemove->text(), c.remove);
        EXPECT_EQ(Save(), c.saved);
    }
}

TEST_F(DatabaseWindowTest, RemoveFindsNamesTypedOrAddedInThePane) {
    Open("alice\r\n");
    Add(QStringLiteral("bob"));
    QTextCursor end(window.rtbDatabase->document());
    end.movePosition(QTextCursor::End);
    window.rtbDatabase->setTextCursor(end);
    QTest::keyClicks(window.rtbDatabase, QStringLiteral("carol"));
    // Shift+Enter breaks the line inside a paragraph; it is a line end all the same.
    QTest::keyClick(window.rtbDatabase, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(window.rtbDatabase, QStringLiteral("dave"));
    Remove(QStringLiteral("BOB"));
    Remove(QStringLiteral("carol"));
    EXPECT_EQ(Save(), "alice\r\ndave");
}

TEST_F(DatabaseWindowTest, CancelKeepsTheTextUntilTheNextOpeningShowsTheFile) {
    Open("alice\r\n");
    Add(QStringLiteral("bob"));
    Click(window.cmdCancel);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(UsersFile(), "alice\r\n");
    EXPECT_EQ(PaneText(), "alice\nbob\n");

    window.ShowDatabase();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(PaneText(), "alice\n");
    // Opening it while it is shown reloads too.
    Add(QStringLiteral("carol"));
    harness.WriteFile(QStringLiteral("Users.txt"), "dave\r\n");
    window.ShowDatabase();
    EXPECT_EQ(PaneText(), "dave\n");
}

TEST_F(DatabaseWindowTest, UntouchedFilesSaveBackByteForByte) {
    const struct {
        const char* name;
        QByteArray file;
    } cases[] = {
        {"windows-1252",
         "J\xF6rg\r\n\x80uro\r\nno\xA0"
         "break\r\n\x81\x8D\x9D\r\n"},
        {"utf-8",
         "J\xC3\xB6rg\r\n\xE2\x9C\x93\r\nno\xC2\xA0"
         "break\r\n"},
        {"no final line end", "alice\r\nbob"},
        {"empty lines", "\r\n\r\nalice\r\n\r\n"},
        {"control characters and blanks", " a\tb \r\n\x01x\r\n"},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open(c.file);
        EXPECT_EQ(Save(), c.file);
    }
}

TEST_F(DatabaseWindowTest, AWindows1252FileStaysSoWhileEveryNameFits) {
    Open("J\xF6rg\r\n");
    Add(QString::fromUtf8("Zo\u00eb"));
    EXPECT_EQ(Save(), "J\xF6rg\r\nZo\xEB\r\n");

    window.ShowDatabase();
    Add(QString::fromUtf8("\u2713"));
    EXPECT_EQ(Save(), "J\xC3\xB6rg\r\nZo\xC3\xAB\r\n\xE2\x9C\x93\r\n");
}

TEST_F(DatabaseWindowTest, AMissingFileIsAnEmptyPaneThatSaveCreates) {
    window.ShowDatabase();
    EXPECT_EQ(PaneText(), "");
    EXPECT_EQ(RedLines(harness.pane), QStringList());
    Add(QStringLiteral("alice"));
    EXPECT_EQ(Save(), "alice\r\n");
}

TEST_F(DatabaseWindowTest, SaveThenALogonAuthorisesExactlyTheSavedNamesAndTheMaster) {
    ChatGateway gateway;
    harness.WriteConfig(gateway.Port());
    Open("old\r\n");
    Remove(QStringLiteral("old"));
    Add(QStringLiteral("alice"));
    Add(QStringLiteral("Bob"));
    Save();

    ASSERT_TRUE(harness.LogIn());
    EXPECT_EQ(Answers(gateway, {"alice", "bob", "old", "carol", "quendar", "QuEnDaR"}),
              "alice may\r\nbob may\r\nQuEnDaR may\r\n");
}

TEST_F(DatabaseWindowTest, ACommandAfterSaveKeepsTheSavedNames) {
    ChatGateway gateway;
    harness.WriteConfig(gateway.Port());
    harness.WriteFile(QStringLiteral("Users.txt"), "alice\r\n");
    ASSERT_TRUE(harness.LogIn());

    window.ShowDatabase();
    Add(QStringLiteral("bob"));
    Save();
    // Authorised at once, not only from the next logon.
    EXPECT_EQ(Answers(gateway, {"bob"}), "bob may\r\n");

    gateway.SendLine(ChatGateway::TalkLine("alice", "0010", "!add carol"));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return UsersFile().contains("carol"); }));
    EXPECT_EQ(UsersFile(), "alice\r\nbob\r\ncarol\r\n");
}

TEST_F(DatabaseWindowTest, AFailedSaveIsSaidInRedAndKeepsTheWindowWithItsText) {
    for (const bool protectFolder : {true, false}) {
        SCOPED_TRACE(protectFolder ? "read-only folder" : "read-only file");
        harness.pane.Clear();
        Open("alice\r\n");
        Add(QStringLiteral("bob"));
        {
            const WriteProtection protection(protectFolder ? harness.Folder() : UsersPath());
            Click(window.cmdSave);
        }
        const QStringList red = RedLines(harness.pane);
        ASSERT_EQ(red.size(), 1);
        const QString prefix = QStringLiteral("Could not save %1: ").arg(UsersPath());
        EXPECT_TRUE(red[0].startsWith(prefix)) << red[0].toStdString();
        EXPECT_GT(red[0].size(), prefix.size() + 2) << "the reason is missing";
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(PaneText(), "alice\nbob\n");
        EXPECT_EQ(UsersFile(), "alice\r\n");
        EXPECT_EQ(QDir(harness.Folder()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"Users.txt"});
    }
}

TEST_F(DatabaseWindowTest, AnUnreadableFileIsSaidInRedAndNotReplacedUntilItIsRead) {
    harness.WriteFile(QStringLiteral("Users.txt"), "alice\r\n");
    {
        const ReadProtection unreadable(UsersPath());
        window.ShowDatabase();
    }
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(PaneText(), "");
    QStringList red = RedLines(harness.pane);
    ASSERT_EQ(red.size(), 1);
    const QString prefix = QStringLiteral("Could not read %1: ").arg(UsersPath());
    EXPECT_TRUE(red[0].startsWith(prefix)) << red[0].toStdString();
    EXPECT_GT(red[0].size(), prefix.size() + 2) << "the reason is missing";

    // Readable again, but what the pane shows is not what the file holds.
    Add(QStringLiteral("bob"));
    Click(window.cmdSave);
    red = RedLines(harness.pane);
    ASSERT_EQ(red.size(), 2);
    EXPECT_TRUE(red[1].startsWith(QStringLiteral("Did not save %1: ").arg(UsersPath())))
        << red[1].toStdString();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(PaneText(), "bob\n");
    EXPECT_EQ(UsersFile(), "alice\r\n");

    window.ShowDatabase();
    EXPECT_EQ(PaneText(), "alice\n");
    Add(QStringLiteral("bob"));
    EXPECT_EQ(Save(), "alice\r\nbob\r\n");
    EXPECT_EQ(RedLines(harness.pane).size(), 2);
}

TEST_F(DatabaseWindowTest, TabsThroughTheFormOrder) {
    Open("alice\r\n");
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.cmdSave->setFocus();
    QStringList order;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(order, QStringList({"rtbDatabase", "txtAdd", "cmdRemove", "cmdAdd", "txtRemove",
                                  "cmdCancel", "cmdSave"}));
    EXPECT_EQ(PaneText(), "alice\n") << "Tab typed into the pane";
}

// The editor's file is the working directory's Users.txt, the bot's is the program folder's:
// only when they are one file does a save replace the bot's list.
TEST(DatabaseWindowFilesTest, SaveLoadsTheBotsListOnlyWhenTheFilesAreOne) {
    const struct {
        const char* name;
        bool link;  // the working directory is a link to the program folder
        QStringList list;
    } cases[] = {
        {"one file under two names", true, {"alice", "bob"}},
        {"two files", false, {"alice"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString program = dir.filePath(QStringLiteral("program"));
        const QString working = dir.filePath(QStringLiteral("working"));
        ASSERT_TRUE(QDir().mkdir(program));
        ASSERT_TRUE(c.link ? QFile::link(program, working) : QDir().mkdir(working));
        for (const QString& folder : {program, working}) {
            QFile file(QDir(folder).filePath(QStringLiteral("Users.txt")));
            if (!file.exists()) {
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write("alice\r\n");
            }
        }
        RecordingPane pane;
        RecordingTexts texts;
        Bot bot(pane, texts, ProfilePaths::Default(program, working));
        bot.UserList().Load();

        DatabaseWindow window(bot);
        window.ShowDatabase();
        window.txtAdd->setText(QStringLiteral("bob"));
        QTest::mouseClick(window.cmdAdd, Qt::LeftButton);
        QTest::mouseClick(window.cmdSave, Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(bot.UserList().Entries(), c.list);
    }
}

}  // namespace
}  // namespace zarivok
