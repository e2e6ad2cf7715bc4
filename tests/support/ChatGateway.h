#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QTcpSocket;

namespace zarivok {

// A chat gateway on 127.0.0.1 for tests: it listens on a random free port, records every byte
// each connection sends, and by default plays the login dialogue of the real server (banner,
// prompts, echo, welcome, "/join"), so a client under test can log in and then be fed lines on
// demand. Everything runs on the calling thread's event loop; every wait is bounded.
//
// The connection that was accepted last is the "current" one: Send and friends write to it and
// the accessors default to it. Closed connections keep their records.
class ChatGateway : public QObject {
    Q_OBJECT

  public:
    // Milliseconds since the epoch; the flood rule reads it, so a test can move time by hand.
    using Clock = std::function<qint64()>;

    explicit ChatGateway(QObject* parent = nullptr);
    ~ChatGateway() override;

    quint16 Port() const;
    // Stops accepting; open connections stay open. Connecting to the port is then refused.
    void StopListening();
    // Accepts again on the same port; false when another program took it meanwhile.
    bool ResumeListening();
    // A port on 127.0.0.1 where nothing listens (it was free a moment ago).
    static quint16 UnusedPort();

    // Script settings. Login script and silence are taken at accept time, so set them before the
    // client connects; the others act at once.
    void SetLoginScript(bool on);
    // Accept the connection and never send anything on it (a server that hangs).
    void SetSilent(bool on);
    void SetAccount(const QByteArray& account, const QByteArray& password);
    // Listed after the client's own user line whenever it joins a channel. product is the bare
    // tag ("CHAT"); empty leaves the tag out.
    void AddChannelUser(const QByteArray& name, const QByteArray& flags, const QByteArray& product);
    void SetFloodControl(bool on);
    void SetClock(Clock clock);

    int ConnectionCount() const;
    // All bytes received on a connection (-1: the current one); empty for a connection that
    // does not exist.
    QByteArray Received(int connection = -1) const;
    bool IsClosed(int connection = -1) const;
    // Lines refused by the flood rule and the line-length limit, over all connections.
    int RefusedCount() const;
    // Whether any connection was dropped for flooding.
    bool WasFloodDisconnected() const;

    bool WaitForConnections(int count, int timeoutMs = 5000);
    bool WaitForReceived(const QByteArray& needle, int timeoutMs = 5000, int connection = -1);
    // Waits until the current connection is closed, by either side.
    bool WaitForDisconnect(int timeoutMs = 5000);
    // Lets events run until condition holds or the time is up; returns whether it holds.
    static bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

    // Raw bytes to the current connection, as they are.
    void Send(const QByteArray& bytes);
    // Waits until everything sent on the current connection was handed to the system.
    bool Flush(int timeoutMs = 5000);
    bool SendAndFlush(const QByteArray& bytes, int timeoutMs = 5000);
    // Waits until the client's side has acknowledged every byte sent on the current connection:
    // what a reset destroys after that was in the client's hands, not on the way.
    bool WaitUntilAcknowledged(int timeoutMs = 5000);
    // One line as the server sends it: see WireLine.
    void SendLine(const QByteArray& line);
    // Orderly close of the current connection from the server side, after what was sent.
    void CloseClient();
    // Resets the current connection: the client sees a connection reset, not an orderly close.
    void ResetClient();
    // Runs action once, from inside the gateway's own read handler, the moment any connection
    // has received needle: the test acts at the instant the server would see a reply, which is
    // in the middle of whatever the client under test is doing then.
    void WhenReceived(const QByteArray& needle, std::function<void()> action);

    // The bytes of one line on the wire: the line and CR LF, cut at 255 bytes in all, as the
    // real server cuts them. A line of 254 bytes thus ends in a bare CR, a longer one has no
    // line end and the next line follows directly.
    static QByteArray WireLine(const QByteArray& line);

    // Lines as the server builds them, without line end (SendLine adds it):
    // code keyword fields... "text"; without text there is no quoted part.
    static QByteArray EventLine(int code, const QByteArray& keyword, const QByteArrayList& fields,
                                const std::optional<QByteArray>& text = std::nullopt);
    static QByteArray UserLine(const QByteArray& name, const QByteArray& flags,
                               const QByteArray& product);
    static QByteArray JoinLine(const QByteArray& name, const QByteArray& flags,
                               const QByteArray& product);
    static QByteArray LeaveLine(const QByteArray& name, const QByteArray& flags);
    static QByteArray WhisperLine(const QByteArray& from, const QByteArray& flags,
                                  const QByteArray& text);
    static QByteArray TalkLine(const QByteArray& user, const QByteArray& flags,
                               const QByteArray& text);
    static QByteArray ChannelLine(const QByteArray& name);
    static QByteArray InfoLine(const QByteArray& text);
    static QByteArray ErrorLine(const QByteArray& text);
    static QByteArray EmoteLine(const QByteArray& user, const QByteArray& flags,
                                const QByteArray& text);
    static QByteArray NameLine(const QByteArray& name);

  private:
    enum class Stage { ConnectionClass, LoginMode, Account, Password, LoggedIn, Unscripted };

    struct Charge {
        qint64 second = 0;
        int units = 0;
    };

    struct Connection {
        QTcpSocket* socket = nullptr;
        QByteArray received;
        QByteArray pending;  // received but not yet a whole line
        Stage stage = Stage::Unscripted;
        QByteArray typedAccount;
        std::deque<Charge> charges;
        int quota = 0;
        bool closing = false;  // the gateway is closing it: ignore what still arrives
        bool closed = false;
    };

    void AcceptConnections();
    void ReadFrom(int index);
    void PlayScript(Connection& connection, const QByteArray& data);
    bool TakeConnectionByte(Connection& connection, char expected);
    void HandleLine(Connection& connection, const QByteArray& line);
    void HandleLoggedInLine(Connection& connection, const QByteArray& line);
    bool PassesFloodRule(Connection& connection, const QByteArray& line);
    void SendWelcome(Connection& connection);
    void Write(Connection& connection, const QByteArray& bytes);
    void Close(Connection& connection);
    const Connection* Find(int connection) const;
    Connection* Current();

    struct Trigger {
        QByteArray needle;
        std::function<void()> action;
    };

    struct ChannelUser {
        QByteArray name;
        QByteArray flags;
        QByteArray product;
    };

    QTcpServer server_;
    quint16 port_ = 0;
    std::deque<Connection> connections_;  // deque: records stay put while new ones arrive
    QList<ChannelUser> channelUsers_;
    std::vector<Trigger> triggers_;
    QByteArray account_ = "bot1";
    QByteArray password_ = "botpass";
    Clock clock_;
    int refused_ = 0;
    bool floodDisconnected_ = false;
    bool loginScript_ = true;
    bool silent_ = false;
    bool floodControl_ = false;
};

}  // namespace zarivok
