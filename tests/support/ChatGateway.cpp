#include "support/ChatGateway.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

namespace zarivok {
namespace {

constexpr qsizetype kWireLineBytes = 255;

// The real server's flood rule, in its default configuration.
constexpr qsizetype kDroppedLineBytes = 256;
constexpr qsizetype kLongestLineBytes = 200;
constexpr qsizetype kBytesPerUnit = 40;
constexpr qint64 kChargeSeconds = 5;
constexpr int kRefuseAtUnits = 5;
constexpr int kDisconnectAtUnits = 10;

constexpr char kConnectionClassBot = 0x03;
constexpr char kLoginModeChat = 0x04;

const char kQuotaExceeded[] = "Your message quota has been exceeded!";
const char kLineTooLong[] = "Your line length quota has been exceeded!";
const char kLoginFailed[] = "Login failed.\r\n\r\nUsername: ";
const char kChatFlags[] = "0010";
const char kChatProduct[] = "CHAT";

QByteArray Banner(const QHostAddress& peer) {
    return "BOT or Telnet Connection from [" + peer.toString().toLatin1() +
           "]\r\n\r\nEnter your account name and password.\r\nSorry, there is no guest "
           "account.\r\n\r\nUsername: ";
}

bool StartsWithNoCase(const QByteArray& line, const QByteArray& prefix) {
    return line.size() >= prefix.size() &&
           line.left(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
}

}  // namespace

ChatGateway::ChatGateway(QObject* parent)
    : QObject(parent), clock_([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    connect(&server_, &QTcpServer::newConnection, this, &ChatGateway::AcceptConnections);
    if (!server_.listen(QHostAddress::LocalHost, 0)) {
        qWarning("ChatGateway: cannot listen: %s", qPrintable(server_.errorString()));
    }
    port_ = server_.serverPort();
}

ChatGateway::~ChatGateway() {
    server_.close();
    for (Connection& connection : connections_) {
        QTcpSocket* socket = connection.socket;
        socket->disconnect(this);
        if (socket->state() == QAbstractSocket::ConnectedState) {
            socket->flush();
            socket->disconnectFromHost();
        }
        if (socket->state() != QAbstractSocket::UnconnectedState) socket->abort();
        delete socket;
    }
}

quint16 ChatGateway::Port() const { return port_; }

void ChatGateway::StopListening() { server_.close(); }

bool ChatGateway::ResumeListening() {
    return server_.isListening() || server_.listen(QHostAddress::LocalHost, port_);
}

quint16 ChatGateway::UnusedPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void ChatGateway::SetLoginScript(bool on) { loginScript_ = on; }

void ChatGateway::SetSilent(bool on) { silent_ = on; }

void ChatGateway::SetAccount(const QByteArray& account, const QByteArray& password) {
    account_ = account;
    password_ = password;
}

void ChatGateway::AddChannelUser(const QByteArray& name, const QByteArray& flags,
                                 const QByteArray& product) {
    channelUsers_.push_back({name, flags, product});
}

void ChatGateway::SetFloodControl(bool on) { floodControl_ = on; }

void ChatGateway::SetClock(Clock clock) { clock_ = std::move(clock); }

int ChatGateway::ConnectionCount() const { return static_cast<int>(connections_.size()); }

QByteArray ChatGateway::Received(int connection) const {
    const Connection* found = Find(connection);
    return found ? found->received : QByteArray();
}

bool ChatGateway::IsClosed(int connection) const {
    const Connection* found = Find(connection);
    return found && found->closed;
}

int ChatGateway::RefusedCount() const { return refused_; }

bool ChatGateway::WasFloodDisconnected() const { return floodDisconnected_; }

bool ChatGateway::WaitForConnections(int count, int timeoutMs) {
    return WaitUntil([&] { return ConnectionCount() >= count; }, timeoutMs);
}

bool ChatGateway::WaitForReceived(const QByteArray& needle, int timeoutMs, int connection) {
    return WaitUntil([&] { return Received(connection).contains(needle); }, timeoutMs);
}

bool ChatGateway::WaitForDisconnect(int timeoutMs) {
    return WaitUntil([&] { return IsClosed(); }, timeoutMs);
}

bool ChatGateway::WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    // Waiting for more events sleeps until something happens; the ticker bounds each sleep so
    // the deadline is noticed even when nothing else does.
    QTimer ticker;
    ticker.start(20);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void ChatGateway::Send(const QByteArray& bytes) {
    if (Connection* current = Current()) Write(*current, bytes);
}

bool ChatGateway::Flush(int timeoutMs) {
    Connection* current = Current();
    if (!current) return false;
    QTcpSocket* socket = current->socket;
    socket->flush();
    // Looked up afresh on every check: a connection accepted meanwhile must not move the target.
    const int index = ConnectionCount() - 1;
    return WaitUntil(
        [this, index] {
            const QTcpSocket* s = connections_[index].socket;
            return s->bytesToWrite() == 0 || s->state() == QAbstractSocket::UnconnectedState;
        },
        timeoutMs);
}

bool ChatGateway::SendAndFlush(const QByteArray& bytes, int timeoutMs) {
    Send(bytes);
    return Flush(timeoutMs);
}

bool ChatGateway::WaitUntilAcknowledged(int timeoutMs) {
    if (!Flush(timeoutMs)) return false;
    const int fd = static_cast<int>(Current()->socket->socketDescriptor());
    return WaitUntil(
        [fd] {
            int unacknowledged = 0;
            return fd < 0 || ::ioctl(fd, SIOCOUTQ, &unacknowledged) != 0 || unacknowledged == 0;
        },
        timeoutMs);
}

void ChatGateway::SendLine(const QByteArray& line) { Send(WireLine(line)); }

void ChatGateway::CloseClient() {
    if (Connection* current = Current()) Close(*current);
}

void ChatGateway::ResetClient() {
    Connection* current = Current();
    if (!current || current->closing) return;
    current->closing = true;
    // No lingering: closing then sends a reset instead of the orderly end of the stream.
    const linger noLinger{1, 0};
    ::setsockopt(static_cast<int>(current->socket->socketDescriptor()), SOL_SOCKET, SO_LINGER,
                 &noLinger, sizeof noLinger);
    current->socket->abort();
    current->closed = true;
}

void ChatGateway::WhenReceived(const QByteArray& needle, std::function<void()> action) {
    triggers_.push_back({needle, std::move(action)});
}

QByteArray ChatGateway::WireLine(const QByteArray& line) {
    return (line + "\r\n").left(kWireLineBytes);
}

QByteArray ChatGateway::EventLine(int code, const QByteArray& keyword, const QByteArrayList& fields,
                                  const std::optional<QByteArray>& text) {
    QByteArray line = QByteArray::number(code) + ' ' + keyword;
    for (const QByteArray& field : fields) line += ' ' + field;
    // The server quotes text as it is: quotes inside it are not escaped.
    if (text) line += " \"" + *text + '"';
    return line;
}

QByteArray ChatGateway::UserLine(const QByteArray& name, const QByteArray& flags,
                                 const QByteArray& product) {
    QByteArrayList fields{name, flags};
    if (!product.isEmpty()) fields.push_back('[' + product + ']');
    return EventLine(1001, "USER", fields);
}

QByteArray ChatGateway::JoinLine(const QByteArray& name, const QByteArray& flags,
                                 const QByteArray& product) {
    QByteArrayList fields{name, flags};
    if (!product.isEmpty()) fields.push_back('[' + product + ']');
    return EventLine(1002, "JOIN", fields);
}

QByteArray ChatGateway::LeaveLine(const QByteArray& name, const QByteArray& flags) {
    return EventLine(1003, "LEAVE", {name, flags});
}

QByteArray ChatGateway::WhisperLine(const QByteArray& from, const QByteArray& flags,
                                    const QByteArray& text) {
    return EventLine(1004, "WHISPER", {from, flags}, text);
}

QByteArray ChatGateway::TalkLine(const QByteArray& user, const QByteArray& flags,
                                 const QByteArray& text) {
    return EventLine(1005, "TALK", {user, flags}, text);
}

QByteArray ChatGateway::ChannelLine(const QByteArray& name) {
    return EventLine(1007, "CHANNEL", {}, name);
}

QByteArray ChatGateway::InfoLine(const QByteArray& text) {
    return EventLine(1018, "INFO", {}, text);
}

QByteArray ChatGateway::ErrorLine(const QByteArray& text) {
    return EventLine(1019, "ERROR", {}, text);
}

QByteArray ChatGateway::EmoteLine(const QByteArray& user, const QByteArray& flags,
                                  const QByteArray& text) {
    return EventLine(1023, "EMOTE", {user, flags}, text);
}

QByteArray ChatGateway::NameLine(const QByteArray& name) { return EventLine(2010, "NAME", {name}); }

void ChatGateway::AcceptConnections() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        const int index = ConnectionCount();
        Connection connection;
        connection.socket = socket;
        const bool scripted = loginScript_ && !silent_;
        connection.stage = scripted ? Stage::ConnectionClass : Stage::Unscripted;
        connections_.push_back(std::move(connection));
        connect(socket, &QTcpSocket::readyRead, this, [this, index] { ReadFrom(index); });
        connect(socket, &QTcpSocket::disconnected, this,
                [this, index] { connections_[index].closed = true; });
        if (scripted) Write(connections_[index], Banner(socket->peerAddress()));
        // Bytes or a close that came before the signals were connected would go unnoticed.
        if (socket->bytesAvailable() > 0) ReadFrom(index);
        if (socket->state() == QAbstractSocket::UnconnectedState) {
            connections_[index].closed = true;
        }
    }
}

void ChatGateway::ReadFrom(int index) {
    Connection& connection = connections_[index];
    const QByteArray data = connection.socket->readAll();
    connection.received += data;
    PlayScript(connection, data);
    // Taken out before any runs: an action may add triggers of its own.
    std::vector<Trigger> due;
    for (auto it = triggers_.begin(); it != triggers_.end();) {
        if (connection.received.contains(it->needle)) {
            due.push_back(std::move(*it));
            it = triggers_.erase(it);
        } else {
            ++it;
        }
    }
    for (const Trigger& trigger : due) trigger.action();
}

void ChatGateway::PlayScript(Connection& connection, const QByteArray& data) {
    if (connection.stage == Stage::Unscripted || connection.closing) return;
    connection.pending += data;
    while (!connection.closing) {
        if (connection.stage == Stage::ConnectionClass) {
            if (!TakeConnectionByte(connection, kConnectionClassBot)) return;
            connection.stage = Stage::LoginMode;
        } else if (connection.stage == Stage::LoginMode) {
            if (!TakeConnectionByte(connection, kLoginModeChat)) return;
            connection.stage = Stage::Account;
        } else {
            const qsizetype end = connection.pending.indexOf('\n');
            if (end < 0) return;
            QByteArray line = connection.pending.left(end);
            connection.pending.remove(0, end + 1);
            if (line.endsWith('\r')) line.chop(1);
            HandleLine(connection, line);
        }
    }
}

bool ChatGateway::TakeConnectionByte(Connection& connection, char expected) {
    if (connection.pending.isEmpty()) return false;
    // Any other first bytes would select a protocol this gateway does not speak.
    if (connection.pending.front() != expected) {
        Close(connection);
        return false;
    }
    connection.pending.remove(0, 1);
    return true;
}

void ChatGateway::HandleLine(Connection& connection, const QByteArray& line) {
    switch (connection.stage) {
        case Stage::Account:
            connection.typedAccount = line;
            Write(connection, line + "\r\nPassword: ");
            connection.stage = Stage::Password;
            break;
        case Stage::Password:
            // The password is not echoed, only the line end the client typed.
            Write(connection, "\r\n");
            if (connection.typedAccount.compare(account_, Qt::CaseInsensitive) == 0 &&
                line == password_) {
                connection.stage = Stage::LoggedIn;
                SendWelcome(connection);
            } else {
                Write(connection, kLoginFailed);
                connection.stage = Stage::Account;
            }
            break;
        case Stage::LoggedIn:
            HandleLoggedInLine(connection, line);
            break;
        default:
            break;
    }
}

void ChatGateway::HandleLoggedInLine(Connection& connection, const QByteArray& line) {
    if (floodControl_ && !PassesFloodRule(connection, line)) return;
    // The real server does not echo a client's own talk, and the other commands only matter to
    // a test through what it received.
    static const QByteArray kJoin = "/join ";
    if (!StartsWithNoCase(line, kJoin) || line.size() == kJoin.size()) return;
    QByteArray answer = WireLine(ChannelLine(line.mid(kJoin.size())));
    answer += WireLine(UserLine(account_, kChatFlags, kChatProduct));
    for (const ChannelUser& user : channelUsers_) {
        answer += WireLine(UserLine(user.name, user.flags, user.product));
    }
    Write(connection, answer);
}

bool ChatGateway::PassesFloodRule(Connection& connection, const QByteArray& line) {
    if (line.size() >= kDroppedLineBytes) return false;
    if (line.size() > kLongestLineBytes) {
        ++refused_;
        Write(connection, WireLine(ErrorLine(kLineTooLong)));
        return false;
    }
    const qint64 second = clock_() / 1000;
    while (!connection.charges.empty() &&
           connection.charges.front().second + kChargeSeconds <= second) {
        connection.quota -= connection.charges.front().units;
        connection.charges.pop_front();
    }
    int units =
        static_cast<int>(std::max<qsizetype>(1, (line.size() + kBytesPerUnit - 1) / kBytesPerUnit));
    if (StartsWithNoCase(line, "/me ") || StartsWithNoCase(line, "/emote ")) units *= 2;
    // A refused line is charged too, so a client that keeps flooding reaches the cut-off.
    connection.charges.push_back({second, units});
    connection.quota += units;
    if (connection.quota >= kDisconnectAtUnits) {
        floodDisconnected_ = true;
        Close(connection);
        return false;
    }
    if (connection.quota >= kRefuseAtUnits) {
        ++refused_;
        Write(connection, WireLine(ErrorLine(kQuotaExceeded)));
        return false;
    }
    return true;
}

void ChatGateway::SendWelcome(Connection& connection) {
    const QByteArrayList lines{
        NameLine(account_),
        ChannelLine("Chat"),
        UserLine(account_, kChatFlags, kChatProduct),
        ErrorLine("Hello " + account_ + ", welcome to PvPGN Realm!"),
        InfoLine("There are currently 1 users in 0 games of Chat,"),
        InfoLine(""),
        TalkLine(account_, kChatFlags, "You have no mail."),
        InfoLine("This is the public chat channel. Feel free to chat..."),
    };
    QByteArray bytes;
    for (const QByteArray& line : lines) bytes += WireLine(line);
    Write(connection, bytes);
}

void ChatGateway::Write(Connection& connection, const QByteArray& bytes) {
    if (connection.closing || connection.socket->state() != QAbstractSocket::ConnectedState) {
        return;
    }
    connection.socket->write(bytes);
}

void ChatGateway::Close(Connection& connection) {
    if (connection.closing) return;
    connection.closing = true;
    connection.socket->disconnectFromHost();
}

const ChatGateway::Connection* ChatGateway::Find(int connection) const {
    const int index = connection < 0 ? ConnectionCount() - 1 : connection;
    if (index < 0 || index >= ConnectionCount()) return nullptr;
    return &connections_[index];
}

ChatGateway::Connection* ChatGateway::Current() {
    return connections_.empty() ? nullptr : &connections_.back();
}

}  // namespace zarivok
