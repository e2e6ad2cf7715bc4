#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "connection/Outgoing.h"
#include "scripts/ScriptsFixture.h"

namespace zarivok {
namespace {

using testing::BotHarness;
using ScriptsTest = testing::ScriptsFixture;
using testing::Gw;

TEST_F(ScriptsTest, EachEventReachesTheHandlersWithItsArguments) {
    WriteScript("events.js", R"js(
        ['talk', 'emote', 'whisper', 'join', 'leave', 'flags', 'channel', 'info', 'error',
         'connected', 'disconnected'].forEach(function (name) {
            bot.on(name, function () {
                bot.print(name + ' ' + Array.prototype.slice.call(arguments).join('|'));
            });
        });
    )js");
    Scripts().Start();
    ASSERT_TRUE(harness.LogIn());
    gateway.SendLine(Gw::TalkLine("bob", "0010", "hi there"));
    gateway.SendLine(Gw::EmoteLine("bob", "0010", "waves"));
    gateway.SendLine(Gw::WhisperLine("bob", "0001", "psst"));
    gateway.SendLine(Gw::JoinLine("carol", "0010", "STAR"));
    gateway.SendLine("1009 USER carol 0002");
    gateway.SendLine(Gw::LeaveLine("carol", "0002"));
    gateway.SendLine(Gw::InfoLine("a note"));
    gateway.SendLine(Gw::ErrorLine("a problem"));
    gateway.CloseClient();
    ASSERT_TRUE(PaneShows("[events.js] disconnected \r\n"));
    const QString pane = harness.pane.Text();
    for (const char* line : {"connected bot1", "channel Lobby", "talk bob|hi there|16",
                             "emote bob|waves|16", "whisper bob|psst", "join carol|16|STAR",
                             "flags carol|2", "leave carol", "info a note", "error a problem"}) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(pane.contains(QStringLiteral("] [events.js] ") + line + "\r\n"));
    }
    // A user listed at channel entry is no join; the bot's own list has them.
    EXPECT_FALSE(pane.contains("[events.js] join bot1"));
}

TEST_F(ScriptsTest, ActionsGoOutAsOneLineEachAndOnlyWhileLoggedIn) {
    WriteScript("act.js", R"js(
        bot.print('before the logon: ' + bot.say('too early'));
        bot.command('act', function (user, argument) {
            bot.print([bot.say('hello ' + user), bot.say('/me waves'), bot.whisper('bob', 'psst'),
                       bot.kick('bob'), bot.kick('bob', 'go'), bot.ban('bob'),
                       bot.ban('bob', 'bye')].join(','));
        });
    )js");
    Scripts().Start();
    EXPECT_TRUE(harness.pane.Text().contains("[act.js] before the logon: false\r\n"));
    EXPECT_EQ(gateway.ConnectionCount(), 0);
    ASSERT_TRUE(harness.LogIn());
    EXPECT_EQ(Exchange({Gw::TalkLine("alice", "0010", "!act")}),
              "hello alice\r\n/me waves\r\n/w bob psst\r\n/kick bob\r\n/kick bob go\r\n"
              "/ban bob\r\n/ban bob bye\r\n");
    EXPECT_TRUE(harness.pane.Text().contains("[act.js] true,true,true,true,true,true,true\r\n"));
}

TEST_F(ScriptsTest, CommandsAnswerListedUsersOrAnyoneAndNeverTakeAnotherWord) {
    WriteScript("a.js", R"js(
        bot.command('quote', function (user, argument) { bot.say('quote for ' + user + ':' + argument + ':'); });
        bot.command('hello', function (user) { bot.say('hello ' + user); }, {anyone: true});
        bot.on('talk', function (user, text) { if (text.indexOf('!quote') === 0) bot.say('talk too'); });
    )js");
    WriteScript("b.js", R"js(
        ['say', 'PROTECTION', 'scripts', 'Quote', 'two words', ''].forEach(function (word) {
            try { bot.command(word, function () {}); } catch (e) { bot.print(String(e)); }
        });
    )js");
    Scripts().Start();
    ASSERT_TRUE(harness.LogIn());
    EXPECT_EQ(
        Exchange({Gw::TalkLine("alice", "0010", "!QUOTE  x y"),
                  Gw::TalkLine("alice", "0010", "!quote"), Gw::TalkLine("alice", "0010", "!quotes"),
                  Gw::TalkLine("bob", "0010", "!quote x"), Gw::TalkLine("bob", "0010", "!hello")}),
        "quote for alice: x y:\r\nquote for alice::\r\ntalk too\r\ntalk too\r\ntalk too\r\n"
        "hello bob\r\n");
    const QString pane = harness.pane.Text();
    EXPECT_TRUE(pane.contains("Error: bot.command: \"say\" is taken by the bot"));
    EXPECT_TRUE(pane.contains("Error: bot.command: \"PROTECTION\" is taken by the bot"));
    EXPECT_TRUE(pane.contains("Error: bot.command: \"scripts\" is taken by the bot"));
    EXPECT_TRUE(pane.contains("Error: bot.command: \"Quote\" is taken by a.js"));
    EXPECT_TRUE(pane.contains("Error: bot.command: a word is one or more characters"));
    EXPECT_EQ(Exchange({Gw::TalkLine("alice", "0010", "!scripts")}), "Scripts: a.js, b.js.\r\n");
}

TEST_F(ScriptsTest, TimersRunOnceOrUntilCancelledAndRefuseShortIntervals) {
    WriteScript("timers.js", R"js(
        var ticks = 0;
        bot.after(100, function () { bot.print('once'); });
        var id = bot.every(100, function () {
            ticks += 1;
            if (ticks === 3) { bot.cancel(id); bot.print('cancelled after ' + ticks); }
        });
        bot.after(700, function () { bot.print('ticks ' + ticks); });
        try { bot.every(99, function () {}); } catch (e) { bot.print(String(e)); }
        try { bot.after('soon', function () {}); } catch (e) { bot.print(String(e)); }
    )js");
    Scripts().Start();
    ASSERT_TRUE(PaneShows("[timers.js] ticks 3\r\n"));
    const QString pane = harness.pane.Text();
    EXPECT_EQ(pane.count("[timers.js] once\r\n"), 1);
    EXPECT_TRUE(pane.contains("[timers.js] cancelled after 3\r\n"));
    EXPECT_TRUE(pane.contains("RangeError: a timer's interval is at least 100 ms"));
    EXPECT_TRUE(pane.contains("TypeError: bot.after: the interval must be a number"));
}

TEST_F(ScriptsTest, TheStoreIsTheOwnersAloneAndBackAfterARestart) {
    const QByteArray source = R"js(
        var runs = (bot.store.get('runs') || 0) + 1;
        bot.store.set('runs', runs);
        bot.store.set('gone', 'soon');
        bot.store.remove('gone');
        bot.print('runs ' + runs + ' ' + bot.store.get('gone'));
        try { bot.store.set('big', new Array(300000).join('xxxx')); } catch (e) { bot.print(String(e)); }
        try { bot.store.set('f', function () {}); } catch (e) { bot.print(String(e)); }
    )js";
    {
        BotHarness first(harness.Folder());
        first.bot().Scripts().SetRuntimeFactory(&MakeJsRuntime);
        harness.WriteFile("scripts/count.js", source);
        first.bot().Scripts().Start();
        EXPECT_TRUE(first.pane.Text().contains("[count.js] runs 1 undefined\r\n"));
        EXPECT_TRUE(first.pane.Text().contains("Error: bot.store.set: the store would grow"));
        EXPECT_TRUE(first.pane.Text().contains("TypeError: bot.store.set: the value must be"));
    }
    const QString path = harness.Path("script-data/count.json");
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(harness.ReadFile("script-data/count.json"), QByteArray(R"({"runs":1})"));
    EXPECT_EQ(QDir(harness.Path("script-data")).entryList(QDir::Files), QStringList{"count.json"});
    Scripts().Start();
    EXPECT_TRUE(harness.pane.Text().contains("[count.js] runs 2 undefined\r\n"));
}

TEST_F(ScriptsTest, AScriptIsLoadedChangedAndUnloadedAloneWhileTheBotRuns) {
    WriteScript("stays.js", "bot.command('ping', function () { bot.say('pong'); });");
    Scripts().Start();
    ASSERT_TRUE(harness.LogIn());
    WriteScript("new.js", "bot.print('first');");
    ASSERT_TRUE(PaneShows("Script new.js loaded.\r\n", 3000));
    // A different size, so that even a coarse clock tells the change.
    WriteScript("new.js", "bot.print('second!');");
    ASSERT_TRUE(PaneShows("[new.js] second!\r\n", 3000));
    const QString pane = harness.pane.Text();
    EXPECT_LT(pane.indexOf("Script new.js unloaded.\r\n"),
              pane.lastIndexOf("Script new.js loaded."));
    QFile::remove(harness.Path("scripts/new.js"));
    ASSERT_TRUE(Gw::WaitUntil(
        [&] { return harness.pane.Text().count("Script new.js unloaded.\r\n") == 2; }, 3000));
    // The other script and the connection were never touched.
    EXPECT_EQ(harness.pane.Text().count("Script stays.js loaded."), 1);
    EXPECT_EQ(gateway.ConnectionCount(), 1);
    EXPECT_EQ(Exchange({Gw::TalkLine("alice", "0010", "!ping")}), "pong\r\n");
}

TEST_F(ScriptsTest, AFaultStaysInItsScript) {
    WriteScript("a-broken.js", "var x = 1;\nfunction f() {\n  null.y;\n}\nf();\n");
    WriteScript("b-throws.js",
                "bot.on('talk', function (user, text) { if (text === 'boom') throw new "
                "Error('bang'); });\nbot.on('talk', function (user, text) { if (text === 'str') "
                "throw 'just text'; });");
    WriteScript("c-spins.js", "bot.command('spin', function () { for (;;) {} });");
    WriteScript("d-import.js", "import('/etc/passwd');");
    WriteScript("e-sandbox.js",
                "bot.print([typeof Qt, typeof require, typeof console, typeof print, typeof "
                "XMLHttpRequest].join(','));");
    Scripts().Start();
    const QString loaded = harness.pane.Text();
    EXPECT_TRUE(
        loaded.contains("Script a-broken.js: TypeError: Cannot read property 'y' of null "
                        "(line 3)\r\n"));
    EXPECT_FALSE(loaded.contains("Script a-broken.js loaded."));
    EXPECT_TRUE(loaded.contains("Script d-import.js: SyntaxError"));
    EXPECT_FALSE(loaded.contains("Script d-import.js loaded."));
    EXPECT_TRUE(
        loaded.contains("[e-sandbox.js] undefined,undefined,undefined,undefined,undefined"));
    ASSERT_TRUE(harness.LogIn());

    // A handler that throws on every line of a flood: one red line, and the script stays.
    QByteArrayList flood;
    for (int i = 0; i < 20; ++i) flood.append(Gw::TalkLine("bob", "0010", "boom"));
    Exchange(flood);
    EXPECT_EQ(harness.pane.Text().count("Script b-throws.js: Error: bang (line 1)\r\n"), 1);
    // A runaway loop is stopped; the bot goes on answering, and the script stays loaded.
    EXPECT_EQ(Exchange({Gw::TalkLine("alice", "0010", "!spin"),
                        Gw::TalkLine("alice", "0010", "!say still here")}),
              "still here\r\n");
    EXPECT_TRUE(harness.pane.Text().contains("Script c-spins.js was stopped after 1 second.\r\n"));
    EXPECT_EQ(Exchange({Gw::TalkLine("alice", "0010", "!scripts")}),
              "Scripts: b-throws.js, c-spins.js, e-sandbox.js.\r\n");
    // A second later, another failure of the same script is said again.
    ASSERT_TRUE(Gw::WaitUntil(
        [&] {
            Exchange({Gw::TalkLine("bob", "0010", "str")});
            return harness.pane.Text().contains("Script b-throws.js: just text");
        },
        3000));
}

// A script in a loop never keeps the bot from answering anyone else for long: at most 20 of its
// lines wait in the send queue, and the bot's own replies queue after them.
TEST_F(ScriptsTest, AScriptWaitsWithAtMostTwentyLines) {
    WriteScript("flood.js", R"js(
        bot.command('flood', function () {
            var sent = 0;
            for (var i = 0; i < 30; i += 1) { if (bot.say('line ' + i)) sent += 1; }
            bot.print('sent ' + sent);
        });
    )js");
    Scripts().Start();
    ASSERT_TRUE(harness.LogIn());
    // The flood budget's clock stands still: lines leave only as far as the budget allows.
    harness.bot().GetOutgoing().SetClock([] { return qint64(1'000'000); });
    gateway.SendLine(Gw::TalkLine("alice", "0010", "!flood"));
    ASSERT_TRUE(PaneShows("[flood.js] sent "));
    // Four lines fit the budget at once and do not count; twenty wait.
    EXPECT_TRUE(harness.pane.Text().contains("[flood.js] sent 24\r\n"));
    EXPECT_EQ(harness.bot().GetOutgoing().QueuedLines(), 20);
}

TEST_F(ScriptsTest, WithoutScriptsTheCommandSaysNone) {
    Scripts().Start();
    ASSERT_TRUE(harness.LogIn());
    EXPECT_EQ(Exchange({Gw::TalkLine("alice", "0010", "!scripts")}), "Scripts: none.\r\n");
}

}  // namespace
}  // namespace zarivok
