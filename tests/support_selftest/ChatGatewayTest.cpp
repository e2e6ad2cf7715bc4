#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpSocket>
#include <memory>
#include <utility>
#include <vector>

#include "support/ChatGateway.h"

namespace zarivok {
namespace {

const QByteArray kBanner =
    "BOT or Telnet Connection from [127.0.0.1]\r\n\r\nEnter your account name and password.\r\n"
    "Sorry, there is no guest account.\r\n\r\nUsername: ";
const QByteArray kWelcomeEnd =
    "1018 INFO \"This is the public chat channel. Feel free to chat...\"\r\n";
const QByteArray kQuotaRefusal = "1019 ERROR \"Your message quota has been exceeded!\"\r\n";
const QByteArray kLengthRefusal = "1019 ERROR \"Your line length quota has been exceeded!\"\r\n";
const QByteArray kDisconnected = "<disconnected>";

// A plain client on 127.0.0.1 that keeps everything it receives.
class TestClient {
  public:
    explicit TestClient(quint16 port) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_,
                         [this] { data_ += socket_.readAll(); });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }

    bool WaitConnected() {
        return ChatGateway::WaitUntil(
            [this] { return socket_.state() == QAbstractSocket::ConnectedState; });
    }
    bool WaitDisconnected() {
        return ChatGateway::WaitUntil(
            [this] { return socket_.state() == QAbstractSocket::UnconnectedState; });
    }
    bool WaitFor(const QByteArray& needle) {
        return ChatGateway::WaitUntil([&] { return data_.contains(needle); });
    }
    void Write(const QByteArray& bytes) {
        // Writing while the connection is still being made would lose the bytes.
        if (!WaitConnected()) ADD_FAILURE() << "not connected";
        socket_.write(bytes);
        socket_.flush();
    }
    // Everything received so far, which is then forgotten.
    QByteArray Take() { return std::exchange(data_, {}); }
    const QByteArray& Data() const { return data_; }
    QTcpSocket& Socket() { return socket_; }

  private:
    QByteArray data_;
    QTcpSocket socket_;
};

QByteArray JoinAnswer(const QByteArray& channel) {
    return "1007 CHANNEL \"" + channel + "\"\r\n1001 USER bot1 0010 [CHAT]\r\n";
}

// Logs the client in and drops the welcome.
bool LogIn(TestClient& client) {
    client.Write(
        "\x03\x04"
        "bot1\r\nbotpass\r\n");
    const bool welcomed = client.WaitFor(kWelcomeEnd);
    client.Take();
    return welcomed;
}

// Sends one line and returns what the gateway answered to it. Once the gateway holds the line it
// has answered it, so a marker sent then arrives behind the whole answer.
QByteArray Exchange(ChatGateway& gateway, TestClient& client, const QByteArray& line) {
    static int markers = 0;
    const QByteArray marker = "<marker " + QByteArray::number(++markers) + ">";
    const qsizetype expected = gateway.Received().size() + line.size() + 2;
    client.Write(line + "\r\n");
    if (!ChatGateway::WaitUntil([&] { return gateway.Received().size() >= expected; })) {
        return "<line not received>";
    }
    gateway.SendAndFlush(marker);
    const bool answered = ChatGateway::WaitUntil([&] {
        return client.Data().contains(marker) ||
               client.Socket().state() == QAbstractSocket::UnconnectedState;
    });
    QByteArray answer = client.Take();
    if (!answered) return "<no answer>";
    if (!answer.contains(marker)) return kDisconnected;
    return answer.left(answer.indexOf(marker));
}

TEST(ChatGatewayTest, LogsInWithTheRealServersDialogue) {
    ChatGateway gateway;
    gateway.AddChannelUser("alice", "0001", "CHAT");
    gateway.AddChannelUser("bob", "0000", "");
    TestClient client(gateway.Port());
    ASSERT_TRUE(client.WaitFor("Username: "));
    EXPECT_EQ(client.Take(), kBanner);

    // The handshake arrives in pieces that cut through the protocol bytes and the lines.
    client.Write("\x03");
    ASSERT_TRUE(gateway.WaitForReceived("\x03"));
    client.Write(
        "\x04"
        "bo");
    ASSERT_TRUE(gateway.WaitForReceived("bo"));
    client.Write("t1\r");
    ASSERT_TRUE(gateway.WaitForReceived("t1\r"));
    client.Write("\nbotp");
    ASSERT_TRUE(client.WaitFor("Password: "));
    EXPECT_EQ(client.Take(), "bot1\r\nPassword: ");
    client.Write("ass\r\n/join Lobby\r\n");
    ASSERT_TRUE(client.WaitFor("1001 USER bob"));

    const QByteArray answer = client.Take();
    const QByteArray entry =
        "\r\n2010 NAME bot1\r\n1007 CHANNEL \"Chat\"\r\n1001 USER bot1 0010 [CHAT]\r\n1019 ERROR ";
    EXPECT_TRUE(answer.startsWith(entry)) << answer.constData();
    const qsizetype welcomeEnd = answer.indexOf(kWelcomeEnd);
    ASSERT_GT(welcomeEnd, 0) << answer.constData();
    EXPECT_TRUE(answer.left(welcomeEnd).endsWith("1005 TALK bot1 0010 \"You have no mail.\"\r\n"));
    EXPECT_EQ(answer.mid(welcomeEnd + kWelcomeEnd.size()),
              JoinAnswer("Lobby") + "1001 USER alice 0001 [CHAT]\r\n1001 USER bob 0000\r\n");
    EXPECT_EQ(gateway.Received(),
              "\x03\x04"
              "bot1\r\nbotpass\r\n/join Lobby\r\n");
}

TEST(ChatGatewayTest, RefusedLoginAsksAgainOnTheSameConnection) {
    struct Case {
        const char* name;
        QByteArray account;
        QByteArray password;
        bool accepted;
    };
    const Case cases[] = {
        {"right account and password", "Zed", "s3cret", true},
        {"account in other letter case", "zED", "s3cret", true},
        {"wrong password", "Zed", "secret", false},
        {"password in other letter case", "Zed", "S3CRET", false},
        {"default password", "Zed", "botpass", false},
        {"unknown account", "bot1", "s3cret", false},
        {"empty lines", "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChatGateway gateway;
        gateway.SetAccount("Zed", "s3cret");
        TestClient client(gateway.Port());
        ASSERT_TRUE(client.WaitFor("Username: "));
        client.Take();
        client.Write("\x03\x04" + c.account + "\r\n" + c.password + "\r\n");
        const QByteArray echo = c.account + "\r\nPassword: \r\n";
        if (c.accepted) {
            ASSERT_TRUE(client.WaitFor(kWelcomeEnd));
            EXPECT_TRUE(client.Take().startsWith(echo + "2010 NAME Zed\r\n"));
            continue;
        }
        ASSERT_TRUE(client.WaitFor("Login failed."));
        ASSERT_TRUE(client.WaitFor("Username: "));
        EXPECT_EQ(client.Take(), echo + "Login failed.\r\n\r\nUsername: ");
        // The retry needs no protocol bytes, and lines may end in a bare LF.
        client.Write("Zed\ns3cret\n");
        ASSERT_TRUE(client.WaitFor(kWelcomeEnd));
        EXPECT_TRUE(client.Take().startsWith("Zed\r\nPassword: \r\n2010 NAME Zed\r\n"));
        EXPECT_EQ(gateway.ConnectionCount(), 1);
    }
}

TEST(ChatGatewayTest, AnswersOnlyJoinsAfterLogin) {
    struct Case {
        const char* name;
        QByteArray line;
        QByteArray answer;
    };
    const Case cases[] = {
        {"talk is not echoed", "hello, I am bot1", ""},
        {"emote", "/emote beeps", ""},
        {"other command", "/w bob hi", ""},
        {"join", "/join Lobby", JoinAnswer("Lobby")},
        {"join with blanks in the name", "/join Brand New Channel",
         JoinAnswer("Brand New Channel")},
        {"join in capitals", "/JOIN Lobby", JoinAnswer("Lobby")},
        {"join without a name", "/join ", ""},
        {"join glued to its name", "/joinLobby", ""},
    };
    ChatGateway gateway;
    TestClient client(gateway.Port());
    ASSERT_TRUE(LogIn(client));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Exchange(gateway, client, c.line), c.answer);
    }
}

TEST(ChatGatewayTest, DropsAClientThatDoesNotAskForTheChatProtocol) {
    // Without 0x03 first, or with anything but 0x04 after it.
    const QByteArray openings[] = {"bot1\r\nbotpass\r\n", "\x03\r\nbot1\r\n", "\x04\x03"};
    for (const QByteArray& opening : openings) {
        SCOPED_TRACE(opening.toHex().constData());
        ChatGateway gateway;
        TestClient client(gateway.Port());
        ASSERT_TRUE(client.WaitFor("Username: "));
        client.Take();
        client.Write(opening);
        EXPECT_TRUE(client.WaitDisconnected());
        EXPECT_EQ(client.Take(), "");
        EXPECT_TRUE(gateway.WaitForDisconnect());
        EXPECT_EQ(gateway.Received(), opening);
    }
}

TEST(ChatGatewayTest, CutsEveryLineAt255BytesWithItsLineEnd) {
    struct Case {
        qsizetype length;
        QByteArray ending;
        qsizetype wireLength;
    };
    const Case cases[] = {
        {0, "\r\n", 2}, {253, "x\r\n", 255}, {254, "x\r", 255}, {255, "xx", 255}, {400, "xx", 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const QByteArray line(c.length, 'x');
        const QByteArray wire = ChatGateway::WireLine(line);
        EXPECT_EQ(wire.size(), c.wireLength);
        EXPECT_TRUE(wire.endsWith(c.ending));
        EXPECT_TRUE(line.startsWith(wire.left(std::min(c.length, wire.size()))));
    }

    // On the wire the next line follows a cut one directly.
    ChatGateway gateway;
    gateway.SetLoginScript(false);
    TestClient client(gateway.Port());
    ASSERT_TRUE(gateway.WaitForConnections(1));
    const QByteArray talk = ChatGateway::TalkLine("bob", "0000", QByteArray(240, 'L'));
    gateway.SendLine(talk);
    gateway.SendLine(ChatGateway::TalkLine("bob", "0000", "TAIL"));
    ASSERT_TRUE(client.WaitFor("TAIL\"\r\n"));
    EXPECT_EQ(client.Take(), talk.left(255) + "1005 TALK bob 0000 \"TAIL\"\r\n");
}

TEST(ChatGatewayTest, BuildsLinesAsTheServerDoes) {
    struct Case {
        QByteArray built;
        QByteArray expected;
    };
    const Case cases[] = {
        {ChatGateway::UserLine("bob", "0010", "CHAT"), "1001 USER bob 0010 [CHAT]"},
        {ChatGateway::UserLine("bob", "0010", ""), "1001 USER bob 0010"},
        {ChatGateway::JoinLine("alice", "0001", "W2BN"), "1002 JOIN alice 0001 [W2BN]"},
        {ChatGateway::LeaveLine("bob", "0022"), "1003 LEAVE bob 0022"},
        {ChatGateway::WhisperLine("alice", "0001", "psst"), "1004 WHISPER alice 0001 \"psst\""},
        {ChatGateway::TalkLine("bob", "0000", "he said \"hi\" \\ x"),
         "1005 TALK bob 0000 \"he said \"hi\" \\ x\""},
        {ChatGateway::TalkLine("bob", "0000", ""), "1005 TALK bob 0000 \"\""},
        {ChatGateway::ChannelLine("The Void"), "1007 CHANNEL \"The Void\""},
        {ChatGateway::InfoLine(""), "1018 INFO \"\""},
        {ChatGateway::ErrorLine("Unknown command."), "1019 ERROR \"Unknown command.\""},
        {ChatGateway::EmoteLine("bob", "0000", "waves"), "1023 EMOTE bob 0000 \"waves\""},
        {ChatGateway::NameLine("bot1"), "2010 NAME bot1"},
        {ChatGateway::EventLine(1006, "_", {}, "Announcement from alice: hi"),
         "1006 _ \"Announcement from alice: hi\""},
        {ChatGateway::EventLine(1009, "USER", {"bob", "0008"}), "1009 USER bob 0008"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.constData());
        EXPECT_EQ(c.built, c.expected);
    }
}

TEST(ChatGatewayTest, SendAndFlushLetsATestSplitALineAcrossArrivals) {
    ChatGateway gateway;
    gateway.SetLoginScript(false);
    TestClient client(gateway.Port());
    ASSERT_TRUE(gateway.WaitForConnections(1));
    ASSERT_TRUE(gateway.SendAndFlush("1005 TALK bob 0000 \"hel"));
    ASSERT_TRUE(client.WaitFor("hel"));
    EXPECT_EQ(client.Take(), "1005 TALK bob 0000 \"hel");
    ASSERT_TRUE(gateway.SendAndFlush("lo\"\r"));
    ASSERT_TRUE(client.WaitFor("\r"));
    EXPECT_EQ(client.Take(), "lo\"\r");
    gateway.Send("\n");
    ASSERT_TRUE(client.WaitFor("\n"));
    EXPECT_EQ(client.Take(), "\n");
}

TEST(ChatGatewayTest, SilentOrUnscriptedGatewaySendsNothingByItself) {
    for (const bool silent : {true, false}) {
        SCOPED_TRACE(silent ? "silent" : "no login script");
        ChatGateway gateway;
        gateway.SetSilent(silent);
        gateway.SetLoginScript(silent);
        TestClient client(gateway.Port());
        const QByteArray handshake =
            "\x03\x04"
            "bot1\r\nbotpass\r\n/join Lobby\r\n";
        client.Write(handshake);
        ASSERT_TRUE(gateway.WaitForReceived(handshake));
        // Anything the gateway had answered would arrive before this.
        ASSERT_TRUE(gateway.SendAndFlush("<marker>"));
        ASSERT_TRUE(client.WaitFor("<marker>"));
        EXPECT_EQ(client.Take(), "<marker>");
    }
}

TEST(ChatGatewayTest, KeepsARecordPerConnection) {
    ChatGateway gateway;
    gateway.SetLoginScript(false);
    TestClient first(gateway.Port());
    ASSERT_TRUE(gateway.WaitForConnections(1));
    first.Write("first\r\n");
    ASSERT_TRUE(gateway.WaitForReceived("first\r\n"));
    first.Socket().disconnectFromHost();
    EXPECT_TRUE(gateway.WaitForDisconnect());

    TestClient second(gateway.Port());
    ASSERT_TRUE(gateway.WaitForConnections(2));
    EXPECT_FALSE(gateway.IsClosed());
    second.Write("second");
    ASSERT_TRUE(gateway.WaitForReceived("second", 5000, 1));
    EXPECT_EQ(gateway.Received(0), "first\r\n");
    EXPECT_EQ(gateway.Received(1), "second");
    EXPECT_EQ(gateway.Received(), "second");
    EXPECT_EQ(gateway.Received(2), "");
    EXPECT_TRUE(gateway.IsClosed(0));
    EXPECT_FALSE(gateway.WaitForReceived("first", 50));

    gateway.SendLine("to the second");
    ASSERT_TRUE(second.WaitFor("to the second\r\n"));
    EXPECT_EQ(gateway.ConnectionCount(), 2);
}

TEST(ChatGatewayTest, ClosesAndRefusesConnections) {
    ChatGateway gateway;
    gateway.SetLoginScript(false);
    TestClient client(gateway.Port());
    ASSERT_TRUE(gateway.WaitForConnections(1));
    gateway.SendLine("last words");
    gateway.CloseClient();
    EXPECT_TRUE(client.WaitDisconnected());
    EXPECT_EQ(client.Take(), "last words\r\n");
    EXPECT_TRUE(gateway.WaitForDisconnect());

    const quint16 port = gateway.Port();
    gateway.StopListening();
    for (const quint16 closedPort : {port, ChatGateway::UnusedPort()}) {
        SCOPED_TRACE(closedPort);
        ASSERT_NE(closedPort, 0);
        TestClient refused(closedPort);
        EXPECT_TRUE(refused.WaitDisconnected());
        EXPECT_EQ(refused.Socket().error(), QAbstractSocket::ConnectionRefusedError);
    }
    EXPECT_EQ(gateway.ConnectionCount(), 1);

    ASSERT_TRUE(gateway.ResumeListening());
    EXPECT_EQ(gateway.Port(), port);
    TestClient back(port);
    EXPECT_TRUE(back.WaitConnected());
    EXPECT_TRUE(gateway.WaitForConnections(2));
}

// Once the client's side has acknowledged the bytes, a reset no longer takes them away.
TEST(ChatGatewayTest, ResetsAfterTheClientHasEverything) {
    ChatGateway gateway;
    gateway.SetLoginScript(false);
    TestClient client(gateway.Port());
    ASSERT_TRUE(gateway.WaitForConnections(1));
    ASSERT_TRUE(client.WaitConnected());
    const QByteArray bytes(200 * 1024, 'x');
    gateway.Send(bytes);
    ASSERT_TRUE(gateway.WaitUntilAcknowledged());
    gateway.ResetClient();
    EXPECT_TRUE(client.WaitDisconnected());
    EXPECT_EQ(client.Take(), bytes);
}

TEST(ChatGatewayTest, DestructionClosesOpenConnections) {
    auto gateway = std::make_unique<ChatGateway>();
    TestClient client(gateway->Port());
    ASSERT_TRUE(gateway->WaitForConnections(1));
    ASSERT_TRUE(client.WaitConnected());
    gateway.reset();
    EXPECT_TRUE(client.WaitDisconnected());
    EXPECT_EQ(client.Socket().error(), QAbstractSocket::RemoteHostClosedError);
}

struct FloodStep {
    qint64 clockMs;
    QByteArray line;
    QByteArray answer;
};

FloodStep Passes(qint64 clockMs, const QByteArray& channel) {
    return {clockMs, "/join " + channel, JoinAnswer(channel)};
}

FloodStep Refused(qint64 clockMs) { return {clockMs, "/join refused", kQuotaRefusal}; }

// A join line of the given length in bytes.
QByteArray JoinOfLength(qsizetype length) { return "/join " + QByteArray(length - 6, 'c'); }

TEST(ChatGatewayTest, FloodRuleMatchesTheRealServer) {
    struct Case {
        const char* name;
        bool floodControl;
        std::vector<FloodStep> steps;
    };
    const QByteArray join40 = JoinOfLength(40);
    const QByteArray join41 = JoinOfLength(41);
    const QByteArray join81 = JoinOfLength(81);
    const Case cases[] = {
        {"the fifth short line within a second is refused",
         true,
         {Passes(1000, "a"), Passes(1100, "b"), Passes(1500, "c"), Passes(1999, "d"),
          Refused(1999)}},
        {"charges are forgotten at the fifth whole second, refused ones too",
         true,
         {Passes(1999, "a"), Passes(1999, "b"), Passes(1999, "c"), Passes(1999, "d"), Refused(5999),
          Passes(6000, "e"), Passes(6000, "f"), Passes(6000, "g"), Refused(6000), Refused(10999),
          Passes(11000, "h"), Passes(11000, "i")}},
        {"refused lines still count and ten units disconnect",
         true,
         {Passes(1000, "a"),
          Passes(1000, "b"),
          Passes(1000, "c"),
          Passes(1000, "d"),
          Refused(1000),
          Refused(1000),
          Refused(1000),
          Refused(1000),
          Refused(1000),
          {1000, "/join gone", kDisconnected}}},
        {"forty bytes cost one unit",
         true,
         {{1000, join40, JoinAnswer(join40.mid(6))},
          {1000, join40, JoinAnswer(join40.mid(6))},
          {1000, join40, JoinAnswer(join40.mid(6))},
          {1000, join40, JoinAnswer(join40.mid(6))},
          Refused(1000)}},
        {"forty-one bytes cost two units",
         true,
         {{1000, join41, JoinAnswer(join41.mid(6))},
          {1000, join41, JoinAnswer(join41.mid(6))},
          Refused(1000)}},
        {"eighty-one bytes cost three units",
         true,
         {{1000, join81, JoinAnswer(join81.mid(6))}, Passes(1000, "a"), Refused(1000)}},
        {"emotes cost twice",
         true,
         {{1000, "/me waves", ""}, {1000, "/emote waves", ""}, Refused(1000)}},
        {"a long emote costs twice per started forty bytes",
         true,
         {{1000, "/me " + QByteArray(37, 'w'), ""}, Refused(1000)}},
        {"over two hundred bytes is refused without a charge",
         true,
         {{1000, JoinOfLength(201), kLengthRefusal},
          {1000, JoinOfLength(255), kLengthRefusal},
          Passes(1000, "a"),
          Passes(1000, "b"),
          Passes(1000, "c"),
          Passes(1000, "d"),
          Refused(1000)}},
        {"256 bytes and more are dropped without a word or a charge",
         true,
         {{1000, JoinOfLength(256), ""},
          {1000, JoinOfLength(300), ""},
          Passes(1000, "a"),
          Passes(1000, "b"),
          Passes(1000, "c"),
          Passes(1000, "d"),
          Refused(1000)}},
        {"no flood control",
         false,
         {Passes(1000, "a"),
          Passes(1000, "b"),
          Passes(1000, "c"),
          Passes(1000, "d"),
          Passes(1000, "e"),
          Passes(1000, "f"),
          Passes(1000, "g"),
          Passes(1000, "h"),
          Passes(1000, "i"),
          Passes(1000, "j"),
          Passes(1000, "k"),
          {1000, JoinOfLength(201), JoinAnswer(JoinOfLength(201).mid(6))}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        qint64 now = 0;
        ChatGateway gateway;
        gateway.SetClock([&now] { return now; });
        gateway.SetFloodControl(c.floodControl);
        TestClient client(gateway.Port());
        ASSERT_TRUE(LogIn(client));
        int refusals = 0;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const FloodStep& step = c.steps[i];
            SCOPED_TRACE(testing::Message() << "step " << i << ": " << step.line.constData());
            now = step.clockMs;
            EXPECT_EQ(Exchange(gateway, client, step.line), step.answer);
            if (step.answer.startsWith("1019 ERROR")) ++refusals;
        }
        EXPECT_EQ(gateway.RefusedCount(), refusals);
        EXPECT_EQ(gateway.WasFloodDisconnected(), c.steps.back().answer == kDisconnected);
    }
}

}  // namespace
}  // namespace zarivok
