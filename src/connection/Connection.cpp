#include "connection/Connection.h"

#include <utility>

#include "base/TextCodec.h"
#include "base/Texts.h"
#include "connection/ConnectionPort.h"
#include "connection/ServerAddress.h"
#include "display/ChatOutput.h"
#include "settings/Settings.h"

namespace zarivok {
namespace {

constexpr char kConnectCaption[] = "&Connect";
constexpr char kDisconnectCaption[] = "&Disconnect";
constexpr char kStateConnecting[] = "Connection State - Connecting...";
constexpr char kStateConnected[] = "Connection State - Connected";
constexpr char kStateDisconnected[] = "Connection State - Disconnected";
constexpr char kStateReconnecting[] = "Connection State - Reconnecting";
}  // namespace

Connection::Connection(ConnectionPort& port, ChatOutput& output, const Settings& settings)
    : port_(port),
      output_(output),
      settings_(settings),
      connectCaption_(QString::fromLatin1(kConnectCaption)) {
    recon_.setInterval(kInitialReconnectMs);
    connect(&recon_, &QTimer::timeout, this, &Connection::recon_Timer);
    connect(&socket_, &ChatSocket::Connected, this, &Connection::Winsock_Connect);
    connect(&socket_, &ChatSocket::DataArrival, this, &Connection::Winsock_DataArrival);
    connect(&socket_, &ChatSocket::Closed, this, &Connection::Winsock_Close);
    connect(&socket_, &ChatSocket::Error, this, &Connection::Winsock_Error);
}

void Connection::ConnectToServer(quint16 port) {
    if (ending_) return;
    // A day log that failed (a full disk, a folder in the way) may work again by now.
    output_.RetryLog();
    const QStringList problems = port_.LoadSettings();
    output_.AppendChat(QStringLiteral("Loaded Config.ini") + kCrLf, kGreen);
    for (const QString& problem : problems) output_.AppendChat(problem + kCrLf, kRed);
    port_.LoadConnectFiles();
    const Settings& settings = settings_;
    output_.AppendChat(QStringLiteral("Reconnect Interval set to: ") + settings.strReconnect +
                           QStringLiteral("ms") + kCrLf,
                       kGreen);
    SetReconInterval(ReconnectIntervalMs(settings));

    const ServerAddress address = ParseServerAddress(settings.strServer, port);
    if (!address.problem.isEmpty()) output_.AppendChat(address.problem + kCrLf, kRed);
    if (address.host.isEmpty()) {
        output_.AppendChat(QStringLiteral("Config.ini: \"Server\" is empty; set it to the chat "
                                          "server's host name or address.") +
                               kCrLf,
                           kRed);
    }
    socket_.RemoteHost = address.host;
    socket_.RemotePort = address.port;
    OpenSocket();
}

void Connection::CloseConnection() { ShutSocket(); }

void Connection::OpenSocket() {
    ShutSocket();
    if (ending_) return;
    socket_.Connect();
}

void Connection::ShutSocket() {
    socket_.Close();
    port_.ForgetConnection();
    if (std::exchange(opened_, false)) Q_EMIT Ended();
}

void Connection::Winsock_Connect() {
    const Settings& settings = settings_;
    // The whole handshake in one send: the connection-type bytes, account, password and the
    // home channel, read now so that a reload since the connect is what logs in.
    QByteArray handshake("\x03\x04");
    handshake += EncodeText(settings.strUser + kCrLf + settings.strPass + kCrLf +
                            QStringLiteral("/join ") + settings.strHome + kCrLf);
    socket_.SendData(handshake);
    SetReconEnabled(false);
    output_.AppendChat(QStringLiteral("Connected To Battle.net at ") + output_.TimeOfDay() + kCrLf,
                       kGreen);
    SetState(kStateConnected);
    opened_ = true;
    Q_EMIT Opened();
}

void Connection::Winsock_DataArrival() {
    const QByteArray data = socket_.GetData();
    // Nested arrivals set their own connection and put this one back when they are done.
    const quint64 outer = std::exchange(receivingGeneration_, socket_.Generation());
    port_.Received(data);
    receivingGeneration_ = outer;
}

quint64 Connection::ReplyLink() const {
    if (receivingGeneration_ != 0) return receivingGeneration_;
    return socket_.IsConnected() ? socket_.Generation() : 0;
}

void Connection::Shutdown() {
    ending_ = true;
    SetReconEnabled(false);
    CloseConnection();
}

void Connection::Winsock_Close() {
    output_.AppendChat(output_.TimeStamp() + QStringLiteral("Server closed connection") + kCrLf,
                       kRed);
    SetState(kStateDisconnected);
    CloseConnection();
    SetReconEnabled(true);
}

void Connection::Winsock_Error(int /*number*/, const QString& description) {
    output_.AppendChat(description + kCrLf, kRed);
    CloseConnection();
    SetReconEnabled(true);
    SetState(kStateReconnecting);
}

void Connection::recon_Timer() {
    if (ending_) return;
    // Abandons an attempt still in progress and starts over with the host and port set last.
    OpenSocket();
    output_.AppendChat(QLatin1String(kReconnecting) + kCrLf, kRed);
}

void Connection::ConnectMenuClick() {
    if (connectCaption_ == QLatin1String(kConnectCaption)) {
        ConnectToServer();
        connectCaption_ = QString::fromLatin1(kDisconnectCaption);
        SetState(kStateConnecting);
    } else {
        // A pending reconnect stays pending: the next tick connects again.
        CloseConnection();
        connectCaption_ = QString::fromLatin1(kConnectCaption);
        output_.AppendChat(QStringLiteral("Disconnected.") + kCrLf, kGreen);
        SetState(kStateDisconnected);
    }
    Q_EMIT ConnectCaptionChanged();
}

void Connection::ReconnectMenuClick() {
    // Before any connect the socket has no server yet: connect as the Connect item does.
    if (socket_.RemoteHost.isEmpty() && socket_.RemotePort == 0) {
        ConnectToServer();
        return;
    }
    const QStringList problems = port_.LoadSettings();
    for (const QString& problem : problems) output_.AppendChat(problem + kCrLf, kRed);
    OpenSocket();
}

void Connection::ExitMenuClick() {
    CloseConnection();
    port_.Quit();
}

void Connection::SetReconEnabled(bool enabled) {
    reconEnabled_ = enabled;
    // An interval of 0 means the timer never fires; QTimer would fire continuously instead.
    if (enabled && recon_.interval() > 0) {
        if (!recon_.isActive()) recon_.start();
    } else {
        recon_.stop();
    }
}

void Connection::SetReconInterval(int ms) {
    recon_.setInterval(ms);
    SetReconEnabled(reconEnabled_);
}

void Connection::SetState(const char* text) { Q_EMIT StateChanged(QString::fromLatin1(text)); }

}  // namespace zarivok
