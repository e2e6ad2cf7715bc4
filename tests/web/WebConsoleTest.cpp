#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>

#include "bot/Bot.h"
#include "connection/Connection.h"
#include "protection/ChannelGuard.h"
#include "support/BotHarness.h"
#include "support/ChatGateway.h"
#include "support/WriteProtection.h"
#include "web/HttpProbe.h"
#include "web/LiveFeed.h"
#include "web/WebAccess.h"
#include "web/WebConsole.h"
#include "web/WebListener.h"

namespace zarivok::testing {
namespace {

// A logged-in bot in a temporary profile with its console on a free port of 127.0.0.1, and a
// clock for the wrong-token window that the test moves by hand.
class WebConsoleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.WriteConfig(gateway.Port());
        console = std::make_unique<WebConsole>(harness.bot());
        console->SetClock([this] { return nowMs; });
        ASSERT_TRUE(console->Start(WebAddress{QHostAddress(QHostAddress::LocalHost), 0}));
        probe = std::make_unique<HttpProbe>(console->Port());
        token = harness.ReadFile(QStringLiteral("web-token")).trimmed();
    }
    void TearDown() override { console.reset(); }

    HttpProbe::Headers Session() { return {probe->LogIn(token)}; }
    HttpProbe::Headers Bearer(const QByteArray& offered) {
        return {{"Authorization", "Bearer " + offered}};
    }

    ChatGateway gateway;
    BotHarness harness;
    std::unique_ptr<WebConsole> console;
    std::unique_ptr<HttpProbe> probe;
    QByteArray token;
    qint64 nowMs = 1'000'000;
};

TEST_F(WebConsoleTest, TheTokenFileIsMadeOnceReadableByItsOwnerOnly) {
    EXPECT_EQ(token.size(), 43);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Za-z0-9_-]{43}$"))
                    .match(QString::fromLatin1(token))
                    .hasMatch());
    EXPECT_EQ(FileMode(harness.Path(QStringLiteral("web-token"))), 0600);
    // A second start keeps the token.
    WebConsole again(harness.bot());
    ASSERT_TRUE(again.Start(WebAddress{QHostAddress(QHostAddress::LocalHost), 0}));
    EXPECT_EQ(harness.ReadFile(QStringLiteral("web-token")).trimmed(), token);
}

TEST_F(WebConsoleTest, WithoutTheTokenOnlyTheLoginPageAndItsFilesAreServed) {
    harness.bot().AppendChat(QStringLiteral("secret channel text\r\n"), kWhite);
    const HttpAnswer page = probe->Get("/");
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("id=\"token\""));
    EXPECT_FALSE(page.body.contains("txtChannel"));
    EXPECT_EQ(probe->Get("/index.html").status, 200);
    EXPECT_FALSE(probe->Get("/index.html").body.contains("txtChannel"));
    EXPECT_EQ(probe->Get("/icons/1.png").status, 200);
    EXPECT_EQ(probe->Get("/icons/1.png").Header("Content-Type"), "image/png");

    struct Case {
        QByteArray method, path;
    } const closed[] = {{"GET", "/events"},    {"GET", "/api/database"},  {"GET", "/api/config"},
                        {"POST", "/api/send"}, {"POST", "/api/moderate"}, {"GET", "/api/ping"}};
    for (const Case& c : closed) {
        SCOPED_TRACE(c.path.toStdString());
        const HttpAnswer answer =
            c.method == "GET" ? probe->Get(c.path) : probe->PostJson(c.path, "{\"text\":\"x\"}");
        EXPECT_EQ(answer.status, 401);
        EXPECT_FALSE(answer.body.contains("secret"));
    }
    EXPECT_FALSE(gateway.Received().contains("x\r\n"));
}

TEST_F(WebConsoleTest, ALoginSetsAStrictHttpOnlyCookieThatOpensTheConsole) {
    const HttpAnswer wrong = probe->PostJson("/api/login", "{\"token\":\"nope\"}");
    EXPECT_EQ(wrong.status, 401);
    EXPECT_TRUE(wrong.Header("Set-Cookie").isEmpty());

    const HttpAnswer right = probe->PostJson("/api/login", "{\"token\":\"" + token + "\"}");
    EXPECT_EQ(right.status, 204);
    const QByteArray cookie = right.Header("Set-Cookie");
    EXPECT_TRUE(cookie.startsWith("zarivok_session="));
    EXPECT_TRUE(cookie.contains("; HttpOnly"));
    EXPECT_TRUE(cookie.contains("; SameSite=Strict"));
    EXPECT_FALSE(cookie.contains(token));

    const HttpProbe::Headers session{{"Cookie", cookie.left(cookie.indexOf(';'))}};
    const HttpAnswer console = probe->Get("/", session);
    EXPECT_TRUE(console.body.contains("id=\"txtChannel\""))
        << console.status << console.body.constData();
    EXPECT_EQ(probe->Get("/api/ping", session).status, 204);
    EXPECT_EQ(probe->Get("/api/ping", {{"Cookie", "zarivok_session=forged"}}).status, 401);

    EXPECT_EQ(probe->PostJson("/api/logout", "{}", session).status, 204);
    EXPECT_EQ(probe->Get("/api/ping", session).status, 401);
}

TEST_F(WebConsoleTest, FiveWrongTokensWithinAMinuteShutTheAddressOutForAMinute) {
    EXPECT_EQ(probe->Get("/api/ping", Bearer(token)).status, 204);
    for (int attempt = 1; attempt <= 4; ++attempt) {
        EXPECT_EQ(probe->PostJson("/api/login", "{\"token\":\"guess\"}").status, 401);
        nowMs += 1000;
    }
    // The fifth wrong one, as a Bearer token, still gets its 401; then the door is shut, for
    // the right token too, on the live channel and the login alike.
    EXPECT_EQ(probe->Get("/events", Bearer("guess")).status, 401);
    EXPECT_EQ(probe->Get("/api/ping", Bearer(token)).status, 429);
    EXPECT_EQ(probe->PostJson("/api/login", "{\"token\":\"" + token + "\"}").status, 429);
    EXPECT_EQ(probe->Get("/events", Bearer(token)).status, 429);
    nowMs += WebAccess::kLockoutMs;
    EXPECT_EQ(probe->Get("/api/ping", Bearer(token)).status, 204);

    // Wrong tokens spread wider than the window never add up to a lockout.
    for (int attempt = 1; attempt <= 8; ++attempt) {
        EXPECT_EQ(probe->Get("/api/ping", Bearer("guess")).status, 401);
        nowMs += WebAccess::kWindowMs / 4;
    }
    EXPECT_EQ(probe->Get("/api/ping", Bearer(token)).status, 204);
}

TEST_F(WebConsoleTest, AnUpgradeIsNeverAnsweredWithSwitchingProtocols) {
    const HttpProbe::Headers upgrade{{"Upgrade", "websocket"},
                                     {"Connection", "Upgrade"},
                                     {"Sec-WebSocket-Key", "dGhlIHNhbXBsZSBub25jZQ=="},
                                     {"Sec-WebSocket-Version", "13"}};
    const HttpProbe::Headers session = Session();
    struct Case {
        const char* name;
        QByteArray path;
        HttpProbe::Headers extra;
    } const cases[] = {
        {"no session", "/events", {}},
        {"foreign origin", "/events", {session[0], {"Origin", "http://evil.example"}}},
        {"session and own origin", "/events", {session[0], {"Origin", "http://" + probe->Host()}}},
        {"another path", "/live", {session[0]}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, console->Port());
        ASSERT_TRUE(socket.waitForConnected(5000));
        QByteArray request = "GET " + c.path + " HTTP/1.1\r\nHost: " + probe->Host() + "\r\n";
        for (const auto& [name, value] : upgrade + c.extra) request += name + ": " + value + "\r\n";
        socket.write(request + "\r\n");
        QByteArray received;
        EXPECT_TRUE(ChatGateway::WaitUntil([&] {
            received += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        }));
        EXPECT_FALSE(received.contains(" 101 ")) << received.constData();
        EXPECT_FALSE(received.contains("event: state"));
    }
}

TEST_F(WebConsoleTest, ConnectionsAndUnansweredBytesAreBounded) {
    // Connections held open without a request: the one past the limit is closed at once.
    std::vector<std::unique_ptr<QTcpSocket>> held;
    for (int i = 0; i < WebListener::kMaxConnections; ++i) {
        held.push_back(std::make_unique<QTcpSocket>());
        held.back()->connectToHost(QHostAddress::LocalHost, console->Port());
    }
    // The console accepts them on this thread's event loop.
    ASSERT_TRUE(ChatGateway::WaitUntil([&] {
        return std::all_of(held.begin(), held.end(), [](const auto& socket) {
            return socket->state() == QAbstractSocket::ConnectedState;
        });
    }));
    const HttpAnswer refused = probe->Get("/api/ping", Bearer(token));
    EXPECT_EQ(refused.status, 0);
    held.clear();
    EXPECT_TRUE(ChatGateway::WaitUntil(
        [&] { return probe->Get("/api/ping", Bearer(token)).status == 204; }));

    // A body larger than any request of the page: the connection goes before it is all read.
    QTcpSocket flood;
    flood.connectToHost(QHostAddress::LocalHost, console->Port());
    ASSERT_TRUE(flood.waitForConnected(5000));
    const qint64 size = 3 * WebListener::kMaxRequestBytes;
    flood.write("POST /api/send HTTP/1.1\r\nHost: " + probe->Host() +
                "\r\nContent-Type: application/json\r\nContent-Length: " +
                QByteArray::number(size) + "\r\n\r\n");
    const QByteArray chunk(64 * 1024, ' ');
    qint64 sent = 0;
    EXPECT_TRUE(ChatGateway::WaitUntil(
        [&] {
            if (flood.state() != QAbstractSocket::ConnectedState) return true;
            if (flood.bytesToWrite() < 1024 * 1024 && sent < size) sent += flood.write(chunk);
            return false;
        },
        30000));
    EXPECT_LT(sent, size);
    EXPECT_EQ(probe->Get("/api/ping", Bearer(token)).status, 204);
}

TEST_F(WebConsoleTest, TheStreamAndActionsRefuseAForeignOriginAndActionsWantJson) {
    const HttpProbe::Headers session = Session();
    const HttpProbe::Headers foreign{session[0], {"Origin", "http://evil.example"}};
    const HttpProbe::Headers own{session[0], {"Origin", "http://" + probe->Host()}};
    ASSERT_TRUE(harness.LogIn());

    EXPECT_EQ(probe->Get("/events", foreign).status, 403);
    EXPECT_EQ(probe->PostJson("/api/send", "{\"text\":\"from evil\"}", foreign).status, 403);
    EXPECT_EQ(probe
                  ->PostJson("/api/login", "{\"token\":\"" + token + "\"}",
                             {{"Origin", "http://evil.example"}})
                  .status,
              403);
    // What a form on another site can send.
    EXPECT_EQ(probe
                  ->Request("POST", "/api/send",
                            {session[0], {"Content-Type", "application/x-www-form-urlencoded"}},
                            "text=from+a+form")
                  .status,
              415);
    EXPECT_EQ(probe->PostJson("/api/send", "[1,2]", own).status, 400);
    EXPECT_EQ(probe->PostJson("/api/send", "{\"text\":5}", own).status, 400);

    EXPECT_EQ(probe->PostJson("/api/send", "{\"text\":\"hello from the web\"}", own).status, 204);
    EXPECT_TRUE(gateway.WaitForReceived("hello from the web\r\n"));
    EXPECT_FALSE(gateway.Received().contains("evil"));
    EXPECT_FALSE(gateway.Received().contains("form"));
}

TEST_F(WebConsoleTest, AStreamStartsWithThePaneAndRosterThenCarriesChangesLive) {
    gateway.AddChannelUser("Alice", "0010", "STAR");
    ASSERT_TRUE(harness.LogIn());
    auto stream = probe->OpenStream(Bearer(token));
    ASSERT_TRUE(stream);
    QByteArray received;
    ASSERT_TRUE(ReadUntil(*stream, received, "\n\n"));
    EXPECT_TRUE(received.startsWith("HTTP/1.1 200"));
    EXPECT_TRUE(received.contains("Content-Type: text/event-stream"));
    EXPECT_TRUE(received.contains("event: state\ndata: {\"lines\":["));
    EXPECT_TRUE(
        received.contains("{\"row\":1,\"name\":\"Alice\",\"icon\":6,\"colour\":\"#ffff00\"}"))
        << received.constData();
    EXPECT_TRUE(received.contains("\"caption\":"));

    received.clear();
    gateway.SendLine(ChatGateway::TalkLine("Alice", "0010", "hi \"there\""));
    ASSERT_TRUE(ReadUntil(*stream, received, "hi \\\"there\\\""));
    EXPECT_TRUE(received.contains("event: batch\ndata: [{\"t\":\"runs\",\"runs\":[["));
    EXPECT_TRUE(
        received.contains("[\"[9:05:03 PM] <Alice> \",\"#ffff00\"],[\"hi \\\"there\\\"\\r\\n\","
                          "\"#ffffff\"]"))
        << received.constData();

    received.clear();
    gateway.SendLine(ChatGateway::JoinLine("Bob", "0010", "CHAT"));
    ASSERT_TRUE(ReadUntil(*stream, received, "\"name\":\"Bob\""));
    EXPECT_TRUE(received.contains("{\"t\":\"insert\",\"row\":2,\"name\":\"Bob\",\"icon\":2"));
    gateway.SendLine(ChatGateway::LeaveLine("Alice", "0010"));
    ASSERT_TRUE(ReadUntil(*stream, received, "{\"t\":\"remove\",\"row\":1}"));
    EXPECT_TRUE(received.contains("\"users\":"));
}

TEST_F(WebConsoleTest, AStreamOpenedLaterReplaysTheLast1000LinesSinceTheLastClear) {
    harness.bot().AppendChat(QStringLiteral("before the clear\r\n"), kWhite);
    // What the auto-clear does to every pane.
    console->Feed().ReplaceAll(QStringLiteral("Chat has been Auto-Cleared.\r\n"));
    for (int line = 1; line <= 1200; ++line) {
        harness.bot().AppendChat(QStringLiteral("[t] "), kGrey,
                                 QStringLiteral("line %1\r\n").arg(line), kWhite);
    }
    auto stream = probe->OpenStream(Bearer(token));
    QByteArray received;
    ASSERT_TRUE(ReadUntil(*stream, received, "}\n\n"));
    EXPECT_FALSE(received.contains("before the clear"));
    EXPECT_FALSE(received.contains("Auto-Cleared"));  // 1,201 lines since: it scrolled away
    EXPECT_FALSE(received.contains("\"line 200\\r\\n\""));
    EXPECT_TRUE(received.contains("[[\"[t] \",\"#808080\"],[\"line 201\\r\\n\",\"#ffffff\"]]"));
    EXPECT_TRUE(received.contains("\"line 1200\\r\\n\""));
}

TEST_F(WebConsoleTest, ABrowserThatNeverReadsIsDroppedWhileTheOthersAndTheBotGoOn) {
    console->Feed().SetMaxQueuedBytes(64 * 1024);
    QSignalSpy dropped(&console->Feed(), &LiveFeed::StreamDropped);
    auto stuck = probe->OpenStream(Bearer(token), 4096);
    auto reader = probe->OpenStream(Bearer(token));
    QByteArray read;
    ASSERT_TRUE(ReadUntil(*reader, read, "event: state"));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return console->Feed().StreamCount() == 2; }));

    const QString filler(200, u'x');
    int sent = 0;
    const bool droppedInTime = ChatGateway::WaitUntil(
        [&] {
            for (int i = 0; i < 200; ++i) {
                harness.bot().AppendChat(filler + QString::number(++sent) + QStringLiteral("\r\n"),
                                         kWhite);
            }
            console->Feed().Flush();
            read += reader->readAll();
            read = read.right(4096);
            return dropped.count() > 0;
        },
        60000);
    ASSERT_TRUE(droppedInTime) << sent << " lines sent";
    EXPECT_EQ(dropped.count(), 1);
    EXPECT_EQ(console->Feed().StreamCount(), 1);
    // Closed from the console's side: what the stuck browser finally reads ends there.
    EXPECT_TRUE(ChatGateway::WaitUntil([&] {
        stuck->readAll();
        return stuck->state() == QAbstractSocket::UnconnectedState;
    }));
    harness.bot().AppendChat(QStringLiteral("after the drop\r\n"), kWhite);
    EXPECT_TRUE(ReadUntil(*reader, read, "after the drop"));
}

TEST_F(WebConsoleTest, ActionsGoThroughTheSameOperationsAsTheWindow) {
    gateway.AddChannelUser("Mallory", "0010", "CHAT");
    ASSERT_TRUE(harness.LogIn());
    const HttpProbe::Headers session = Session();
    EXPECT_EQ(probe->PostJson("/api/moderate", "{\"item\":\"kick\",\"name\":\"Mallory\"}", session)
                  .status,
              204);
    EXPECT_TRUE(gateway.WaitForReceived("/kick Mallory\r\n"));
    EXPECT_EQ(harness.bot().strList(), QStringLiteral("Mallory"));
    EXPECT_EQ(
        probe->PostJson("/api/whisper", "{\"name\":\"Mallory\",\"text\":\"psst\"}", session).status,
        204);
    EXPECT_TRUE(gateway.WaitForReceived("/w Mallory psst\r\n"));
    EXPECT_EQ(
        probe->PostJson("/api/moderate", "{\"item\":\"explode\",\"name\":\"x\"}", session).status,
        400);

    EXPECT_EQ(probe->PostJson("/api/option", "{\"name\":\"autoClear\"}", session).status, 204);
    EXPECT_TRUE(ChatGateway::WaitUntil(
        [&] { return harness.bot().AutoClearCaption() == QStringLiteral("&AutoClear On"); }));
    EXPECT_TRUE(harness.pane.Text().contains(QStringLiteral("AutoClear Disabled.")));

    const HttpAnswer config = probe->Get("/api/config", session);
    ASSERT_EQ(config.status, 200);
    EXPECT_TRUE(config.body.contains("\"user\":\"bot1\""));
    QByteArray changed = config.body;
    changed.replace("\"idleMsg\":\"", "\"idleMsg\":\"web says ");
    EXPECT_EQ(probe->PostJson("/api/config", changed, session).status, 204);
    EXPECT_TRUE(ChatGateway::WaitUntil(
        [&] { return harness.ReadFile(QStringLiteral("Config.ini")).contains("web says "); }));

    const HttpAnswer protection = probe->Get("/api/protection", session);
    ASSERT_EQ(protection.status, 200);
    EXPECT_TRUE(protection.body.contains("\"greetingEnabled\":false"));
    QByteArray rules = protection.body;
    rules.replace("\"greetingEnabled\":false", "\"greetingEnabled\":true");
    rules.replace("\"greeting\":\"\"", "\"greeting\":\"Welcome, %user%!\"");
    rules.replace("\"banList\":\"\"", "\"banList\":\"spam*\\nbot?? flooding\"");
    EXPECT_EQ(probe->PostJson("/api/protection", rules, session).status, 204);
    EXPECT_TRUE(ChatGateway::WaitUntil([&] {
        return harness.ReadFile(QStringLiteral("Banlist.txt")) == "spam*\r\nbot?? flooding\r\n";
    })) << harness.ReadFile(QStringLiteral("Banlist.txt")).constData();
    EXPECT_TRUE(harness.ReadFile(QStringLiteral("Protection.ini")).contains("Welcome, %user%!"));
    EXPECT_TRUE(harness.bot().Guard().Settings().greetEnabled);
}

TEST_F(WebConsoleTest, WithoutAWhisperWindowTheConsoleKeepsTheWhisperLogAndClearsIt) {
    harness.WriteFile(QStringLiteral("whisper.txt"), QByteArray());
    ASSERT_TRUE(harness.LogIn());
    const HttpProbe::Headers session = Session();
    gateway.SendLine(ChatGateway::WhisperLine("Alice", "0010", "just for you"));
    EXPECT_TRUE(ChatGateway::WaitUntil(
        [&] { return probe->Get("/api/whispers", session).body.contains("just for you"); }));
    EXPECT_TRUE(probe->Get("/api/whispers", session).body.contains("\"#"));
    EXPECT_EQ(probe->PostJson("/api/whispers/clear", "{}", session).status, 204);
    EXPECT_TRUE(ChatGateway::WaitUntil(
        [&] { return !probe->Get("/api/whispers", session).body.contains("just for you"); }));
    EXPECT_FALSE(harness.ReadFile(QStringLiteral("whisper.txt")).contains("just for you"));
    EXPECT_TRUE(harness.ReadFile(QStringLiteral("whisper.txt")).startsWith("{\\rtf"));
}

// The real program: what it writes to standard output (the pane), standard error and the day
// log while browsers log in with the token, as a Bearer token, and with a wrong one.
TEST(WebConsoleProgram, TheTokenNeverReachesStandardOutputStandardErrorOrTheLog) {
    BotHarness harness;
    ChatGateway gateway;
    harness.WriteConfig(gateway.Port());
    const quint16 port = ChatGateway::UnusedPort();
    QProcess program;
    QByteArray out;
    QByteArray err;
    QObject::connect(&program, &QProcess::readyReadStandardOutput,
                     [&] { out += program.readAllStandardOutput(); });
    QObject::connect(&program, &QProcess::readyReadStandardError,
                     [&] { err += program.readAllStandardError(); });
    program.start(QStringLiteral(ZARIVOK_BINARY),
                  {QStringLiteral("--headless"), QStringLiteral("--profile"), harness.Folder(),
                   QStringLiteral("--web"), QString::number(port)});
    const QByteArray where = "Web console at http://127.0.0.1:" + QByteArray::number(port) + "/\n";
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return err.contains(where); }, 30000))
        << err.constData();
    const QByteArray token = harness.ReadFile(QStringLiteral("web-token")).trimmed();
    ASSERT_EQ(token.size(), 43);
    HttpProbe probe(port);
    EXPECT_EQ(probe.PostJson("/api/login", "{\"token\":\"" + token + "\"}").status, 204);
    EXPECT_EQ(probe.Get("/api/ping", {{"Authorization", "Bearer " + token}}).status, 204);
    EXPECT_EQ(probe.PostJson("/api/login", "{\"token\":\"" + token + "x\"}").status, 401);
    EXPECT_TRUE(ChatGateway::WaitUntil([&] { return out.contains("Joined Channel: Lobby"); }));
    program.terminate();
    ASSERT_TRUE(
        ChatGateway::WaitUntil([&] { return program.state() == QProcess::NotRunning; }, 30000));
    EXPECT_TRUE(out.contains("Web console at http://127.0.0.1:"));
    EXPECT_FALSE(out.contains(token));
    EXPECT_FALSE(err.contains(token));
    const QDir logs(harness.Path(QStringLiteral("logs")));
    ASSERT_FALSE(logs.entryList(QDir::Files).isEmpty());
    for (const QString& name : logs.entryList(QDir::Files)) {
        QFile log(logs.filePath(name));
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        const QByteArray text = log.readAll();
        EXPECT_TRUE(text.contains("Web console at"));
        EXPECT_FALSE(text.contains(token)) << name.toStdString();
    }
}

TEST(WebConsoleStart, APortInUseOrAnUnreadableTokenLeavesTheConsoleOffWithARedLine) {
    BotHarness harness;
    WebConsole first(harness.bot());
    ASSERT_TRUE(first.Start(WebAddress{QHostAddress(QHostAddress::LocalHost), 0}));
    WebConsole second(harness.bot());
    EXPECT_FALSE(second.Start(WebAddress{QHostAddress(QHostAddress::LocalHost), first.Port()}));
    EXPECT_TRUE(harness.pane.Text().contains(
        QStringLiteral("The web console is off: cannot listen on 127.0.0.1:%1: ")
            .arg(first.Port())));

    if (::geteuid() != 0) {
        harness.WriteFile(QStringLiteral("web-token"), "abc\n");
        QFile::setPermissions(harness.Path(QStringLiteral("web-token")), {});
        WebConsole third(harness.bot());
        EXPECT_FALSE(third.Start(WebAddress{QHostAddress(QHostAddress::LocalHost), 0}));
        EXPECT_TRUE(harness.pane.Text().contains(QStringLiteral("The web console is off: ")));
    }
}

TEST(WebAddressTest, ReadsPortsAddressesAndBracketedIPv6) {
    struct Case {
        const char* text;
        const char* url;  // nullptr: refused
    } const cases[] = {
        {"8080", "http://127.0.0.1:8080/"},
        {"0.0.0.0:80", "http://0.0.0.0:80/"},
        {"localhost:9000", "http://127.0.0.1:9000/"},
        {"[::1]:8080", "http://[::1]:8080/"},
        {"[::]:8080", "http://[::]:8080/"},
        {"::1:8080", nullptr},
        {"0", nullptr},
        {"65536", nullptr},
        {"+80", nullptr},
        {"example.org:80", nullptr},
        {":8080", nullptr},
        {"[::1]8080", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        QString problem;
        const auto parsed = ParseWebAddress(QString::fromLatin1(c.text), &problem);
        if (c.url) {
            ASSERT_TRUE(parsed) << problem.toStdString();
            EXPECT_EQ(parsed->Url(), QString::fromLatin1(c.url));
        } else {
            EXPECT_FALSE(parsed);
            EXPECT_TRUE(problem.startsWith(QStringLiteral("--web ")));
        }
    }
}

}  // namespace
}  // namespace zarivok::testing
