#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "protection/ChannelGuard.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"
#include "support/WriteProtection.h"
#include "ui/MainWindowFixture.h"
#include "ui/ProtectionDialog.h"

namespace zarivok {
namespace {

using testing::BotHarness;
using testing::RecordingPane;

constexpr char kIni[] =
    "[Greet]\r\nEnabled=1\r\nText=Welcome to %channel%, %user%!\r\n"
    "[Lockdown]\r\nEnabled=0\r\nReason=Closed for practice.\r\n"
    "[Phrases]\r\nEnabled=1\r\nAction=ban\r\nReason=Watch your language.\r\n"
    "[Flood]\r\nEnabled=1\r\nLines=5\r\nSeconds=10\r\nAction=kick\r\nReason=Slow down.\r\n";
constexpr char kBanList[] = "Raynor* spamming the channel\r\n?ed\r\n";
constexpr char kPhrases[] = "buy gold\r\nfree minerals\r\n";

class ProtectionDialogTest : public ::testing::Test {
  protected:
    QByteArray File(const char* name) const { return harness.ReadFile(QLatin1String(name)); }

    void WriteFiles(const QByteArray& ini, const QByteArray& banList, const QByteArray& phrases) {
        harness.WriteFile(QStringLiteral("Protection.ini"), ini);
        harness.WriteFile(QStringLiteral("Banlist.txt"), banList);
        harness.WriteFile(QStringLiteral("Phrases.txt"), phrases);
    }

    QStringList RedLines() const {
        QStringList lines;
        for (const RecordingPane::Run& run : harness.pane.Runs()) {
            if (run.colour == kRed) lines.append(run.text);
        }
        return lines;
    }

    // Every field in the order of the file's keys, a switch as "on" or "off".
    QStringList Fields() const {
        const auto on = [](const QCheckBox* box) {
            return box->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
        };
        const ProtectionDialog& d = dialog;
        return {on(d.chkGreet),
                d.txtGreetText->text(),
                on(d.chkLockdown),
                d.txtLockdownReason->text(),
                on(d.chkPhrases),
                d.cboPhrasesAction->currentText(),
                d.txtPhrasesReason->text(),
                on(d.chkFlood),
                d.txtFloodLines->text(),
                d.txtFloodSeconds->text(),
                d.cboFloodAction->currentText(),
                d.txtFloodReason->text()};
    }

    static void TypeInto(QWidget* box, const QString& text) {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }

    static void Click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    BotHarness harness{QString(), BotHarness::DayLogging::Off};
    ProtectionDialog dialog{harness.bot()};
};

TEST_F(ProtectionDialogTest, ShowsWhatTheFilesHoldAndAnUntouchedSaveWritesItBack) {
    WriteFiles(kIni, kBanList, kPhrases);
    dialog.ShowProtection();
    ASSERT_TRUE(dialog.isVisible());
    EXPECT_EQ(Fields(), QStringList({"on", "Welcome to %channel%, %user%!", "off",
                                     "Closed for practice.", "on", "ban", "Watch your language.",
                                     "on", "5", "10", "kick", "Slow down."}));
    EXPECT_EQ(dialog.txtBanList->toPlainText(), "Raynor* spamming the channel\n?ed\n");
    EXPECT_EQ(dialog.txtPhrases->toPlainText(), "buy gold\nfree minerals\n");
    // Nothing is taken up before a Save: the rules are what the last connect read.
    EXPECT_FALSE(harness.bot().Guard().Settings().greetEnabled);

    Click(dialog.cmdSave);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(File("Protection.ini"), kIni);
    EXPECT_EQ(File("Banlist.txt"), kBanList);
    EXPECT_EQ(File("Phrases.txt"), kPhrases);
    EXPECT_EQ(RedLines(), QStringList());
    const ChannelGuard& guard = harness.bot().Guard();
    EXPECT_TRUE(guard.Settings().greetEnabled);
    EXPECT_EQ(guard.Settings().floodLines, 5);
    EXPECT_EQ(guard.Settings().phrasesAction, ProtectionAction::kBan);
    EXPECT_EQ(guard.Bans().Entries(),
              (QList<BanEntry>{{"Raynor*", "spamming the channel"}, {"?ed", ""}}));
    EXPECT_EQ(guard.Phrases(), QStringList({"buy gold", "free minerals"}));
}

TEST_F(ProtectionDialogTest, AnActionShowsAsTheFileSpellsItAndSavesBackSo) {
    const struct {
        const char* name;
        QByteArray line;  // empty: no Action key
        const char* shown;
        int choices;
    } cases[] = {
        {"ban", "Action=ban\r\n", "ban", 2},
        {"kick", "Action=kick\r\n", "kick", 2},
        {"missing, which is a kick", "", "kick", 2},
        {"another letter case", "Action=Ban\r\n", "Ban", 3},
        {"neither", "Action=explode\r\n", "explode", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray ini = "[Flood]\r\n" + c.line;
        WriteFiles(ini, "", "");
        dialog.ShowProtection();
        EXPECT_EQ(dialog.cboFloodAction->currentText(), c.shown);
        EXPECT_EQ(dialog.cboFloodAction->count(), c.choices);
        Click(dialog.cmdSave);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(File("Protection.ini").contains(QByteArray("Action=") + c.shown + "\r\n"));
    }
}

TEST_F(ProtectionDialogTest, TypedRulesAndListsAreSavedAndTakenUpAtOnce) {
    dialog.ShowProtection();
    EXPECT_EQ(Fields(),
              QStringList({"off", "", "off", "", "off", "kick", "", "off", "", "", "kick", ""}));
    EXPECT_EQ(dialog.txtBanList->toPlainText(), "");

    Click(dialog.chkGreet);
    TypeInto(dialog.txtGreetText, QStringLiteral("Hi %user%!"));
    Click(dialog.chkFlood);
    TypeInto(dialog.txtFloodLines, QStringLiteral("3"));
    TypeInto(dialog.txtFloodSeconds, QStringLiteral("7"));
    dialog.cboFloodAction->setFocus();
    QTest::keyClick(dialog.cboFloodAction, Qt::Key_Down);
    TypeInto(dialog.txtFloodReason, QStringLiteral("Too fast."));
    dialog.txtBanList->setFocus();
    QTest::keyClicks(dialog.txtBanList, QStringLiteral("Raynor* spam"));
    QTest::keyClick(dialog.txtBanList, Qt::Key_Return);
    // Shift+Enter breaks the line inside a paragraph; it ends a line all the same.
    QTest::keyClicks(dialog.txtBanList, QStringLiteral("Kerrigan"));
    QTest::keyClick(dialog.txtBanList, Qt::Key_Return, Qt::ShiftModifier);
    // Pasted, as typing goes no further than ASCII here.
    dialog.txtBanList->insertPlainText(QString::fromUtf8("Zo\u00eb\u00a0K"));
    dialog.txtPhrases->setFocus();
    QTest::keyClicks(dialog.txtPhrases, QStringLiteral("buy gold"));
    QTest::keyClick(dialog.txtPhrases, Qt::Key_Return);
    QTest::keyClick(dialog.txtPhrases, Qt::Key_Return);
    QTest::keyClicks(dialog.txtPhrases, QStringLiteral("Free Minerals"));
    Click(dialog.cmdSave);

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(RedLines(), QStringList());
    EXPECT_EQ(File("Protection.ini"),
              "[Greet]\r\nEnabled=1\r\nText=Hi %user%!\r\n"
              "[Lockdown]\r\nEnabled=0\r\nReason=\r\n"
              "[Phrases]\r\nEnabled=0\r\nAction=kick\r\nReason=\r\n"
              "[Flood]\r\nEnabled=1\r\nLines=3\r\nSeconds=7\r\nAction=ban\r\nReason=Too fast.\r\n");
    // The no-break space is part of the name, not a blank before a reason.
    EXPECT_EQ(File("Banlist.txt"), "Raynor* spam\r\nKerrigan\r\nZo\xC3\xAB\xC2\xA0K\r\n");
    EXPECT_EQ(File("Phrases.txt"), "buy gold\r\nFree Minerals\r\n");

    const ChannelGuard& guard = harness.bot().Guard();
    const ProtectionSettings& rules = guard.Settings();
    EXPECT_TRUE(rules.greetEnabled);
    EXPECT_EQ(rules.greetText, "Hi %user%!");
    EXPECT_TRUE(rules.floodEnabled);
    EXPECT_EQ(rules.floodLines, 3);
    EXPECT_EQ(rules.floodSeconds, 7);
    EXPECT_EQ(rules.floodAction, ProtectionAction::kBan);
    EXPECT_EQ(rules.floodReason, "Too fast.");
    EXPECT_FALSE(rules.phrasesEnabled);
    EXPECT_EQ(
        guard.Bans().Entries(),
        (QList<BanEntry>{
            {"Raynor*", "spam"}, {"Kerrigan", ""}, {QString::fromUtf8("Zo\u00eb\u00a0K"), ""}}));
    EXPECT_EQ(guard.Phrases(), QStringList({"buy gold", "Free Minerals"}));
}

TEST_F(ProtectionDialogTest, ASavedBanActsOnTheChannelAtOnce) {
    ChatGateway gateway;
    harness.WriteConfig(gateway.Port());
    ASSERT_TRUE(harness.LogIn());
    gateway.SendLine(ChatGateway::JoinLine("Raynor7", "0010", "CHAT"));
    gateway.SendLine("1009 USER bot1 0002");
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return harness.bot().Guard().IsOperator(); }));

    dialog.ShowProtection();
    dialog.txtBanList->setFocus();
    QTest::keyClicks(dialog.txtBanList, QStringLiteral("raynor* Go away"));
    Click(dialog.cmdSave);
    EXPECT_TRUE(gateway.WaitForReceived("/ban Raynor7 Go away\r\n"));
}

TEST_F(ProtectionDialogTest, AFailedSaveIsSaidInRedAndKeepsTheDialogAndTheRules) {
    WriteFiles(kIni, kBanList, kPhrases);
    dialog.ShowProtection();
    Click(dialog.chkLockdown);
    dialog.txtPhrases->setFocus();
    QTest::keyClick(dialog.txtPhrases, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(dialog.txtPhrases, QStringLiteral("typed"));
    {
        const WriteProtection readOnlyFolder(harness.Folder());
        Click(dialog.cmdSave);
    }
    const QStringList red = RedLines();
    const char* const names[] = {"Protection.ini", "Banlist.txt", "Phrases.txt"};
    ASSERT_EQ(red.size(), std::size(names));
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const QString prefix =
            QStringLiteral("Could not save %1: ").arg(harness.Path(QLatin1String(names[i])));
        EXPECT_TRUE(red[i].startsWith(prefix)) << red[i].toStdString();
        EXPECT_GT(red[i].size(), prefix.size() + 2) << "the reason is missing";
    }
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.chkLockdown->isChecked());
    EXPECT_EQ(dialog.txtPhrases->toPlainText(), "buy gold\nfree minerals\ntyped");
    EXPECT_EQ(File("Protection.ini"), kIni);
    EXPECT_EQ(File("Phrases.txt"), kPhrases);
    EXPECT_FALSE(harness.bot().Guard().Settings().lockdownEnabled);
    EXPECT_EQ(harness.bot().Guard().Phrases(), QStringList());

    // Once the folder is writable again, the same Save goes through.
    Click(dialog.cmdSave);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(File("Protection.ini").contains("[Lockdown]\r\nEnabled=1\r\n"));
    EXPECT_TRUE(harness.bot().Guard().Settings().lockdownEnabled);
    EXPECT_EQ(harness.bot().Guard().Phrases(), QStringList({"buy gold", "free minerals", "typed"}));
}

TEST_F(ProtectionDialogTest, EveryOpeningReadsTheFilesButOpeningItWhileShownKeepsTheEdits) {
    const struct {
        const char* name;
        std::function<void(ProtectionDialog&)> hide;
    } ways[] = {
        {"Cancel", [](ProtectionDialog& d) { Click(d.cmdCancel); }},
        {"the close box", [](ProtectionDialog& d) { ASSERT_TRUE(d.close()); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        WriteFiles(kIni, kBanList, kPhrases);
        dialog.ShowProtection();
        TypeInto(dialog.txtGreetText, QStringLiteral("edited"));
        dialog.ShowProtection();
        EXPECT_EQ(dialog.txtGreetText->text(), "edited");

        way.hide(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(File("Protection.ini"), kIni);
        // A listed user's command changed a list meanwhile: the next opening shows it.
        harness.WriteFile(QStringLiteral("Banlist.txt"), "Kerrigan\r\n");
        dialog.ShowProtection();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.txtGreetText->text(), "Welcome to %channel%, %user%!");
        EXPECT_EQ(dialog.txtBanList->toPlainText(), "Kerrigan\n");
        Click(dialog.cmdCancel);
    }
}

TEST_F(ProtectionDialogTest, OpensOnTheFirstControlAndTabsDownTheRulesThenTheLists) {
    WriteFiles(kIni, kBanList, kPhrases);
    dialog.ShowProtection();
    // Activation arrives from the window system, after the call.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() != nullptr; }));
    EXPECT_EQ(QApplication::focusWidget(), dialog.chkGreet);

    QStringList order;
    for (int i = 0; i < 16; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(order,
              QStringList({"txtGreetText", "chkLockdown", "txtLockdownReason", "chkPhrases",
                           "cboPhrasesAction", "txtPhrasesReason", "chkFlood", "txtFloodLines",
                           "txtFloodSeconds", "cboFloodAction", "txtFloodReason", "txtBanList",
                           "txtPhrases", "cmdSave", "cmdCancel", "chkGreet"}));
    EXPECT_EQ(dialog.txtBanList->toPlainText(), "Raynor* spamming the channel\n?ed\n")
        << "Tab typed into the list";
}

using ProtectionDialogMenuTest = testing::MainWindowFixture;

TEST_F(ProtectionDialogMenuTest, TheMenuItemOpensOneDialogWithoutBlockingTheMainWindow) {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.Protection(), nullptr);
    window.mnuProtection->trigger();
    ProtectionDialog* const dialog = window.Protection();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ZaRiVoK Protection"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // Opening it again brings the same dialog forward, edits and all.
    dialog->txtGreetText->setText(QStringLiteral("kept"));
    window.mnuProtection->trigger();
    EXPECT_EQ(window.Protection(), dialog);
    EXPECT_EQ(dialog->txtGreetText->text(), "kept");

    window.close();
    EXPECT_FALSE(dialog->isVisible());
}

}  // namespace
}  // namespace zarivok
