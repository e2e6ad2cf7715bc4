#include "connection/ChatSocket.h"

#include <QTcpSocket>

namespace zarivok {

ChatSocket::ChatSocket(QObject* parent) : QObject(parent) {
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, &ChatSocket::OnConnectTimeout);
}

ChatSocket::~ChatSocket() { Discard(); }

void ChatSocket::Discard() {
    connectTimer_.stop();
    state_ = State::Closed;
    if (!socket_) return;
    QTcpSocket* old = socket_;
    socket_ = nullptr;
    old->disconnect(this);
    old->abort();
    old->deleteLater();
}

void ChatSocket::Connect() {
    Discard();
    auto* socket = new QTcpSocket(this);
    socket_ = socket;
    connect(socket, &QTcpSocket::connected, this, &ChatSocket::OnConnected);
    connect(socket, &QTcpSocket::readyRead, this, &ChatSocket::DataArrival);
    connect(socket, &QTcpSocket::disconnected, this, &ChatSocket::OnDisconnected);
    connect(socket, &QTcpSocket::errorOccurred, this, &ChatSocket::OnError);
    state_ = State::Connecting;
    if (connectTimeoutMs_ > 0) connectTimer_.start(connectTimeoutMs_);
    socket->connectToHost(RemoteHost, RemotePort);
}

void ChatSocket::Close() { Discard(); }

bool ChatSocket::SendData(const QByteArray& bytes) {
    if (!socket_ || state_ != State::Connected) return false;
    return socket_->write(bytes) == bytes.size();
}

QByteArray ChatSocket::GetData() { return socket_ ? socket_->readAll() : QByteArray(); }

void ChatSocket::OnConnected() {
    connectTimer_.stop();
    state_ = State::Connected;
    Q_EMIT Connected();
}

void ChatSocket::OnDisconnected() {
    if (state_ == State::Closed || !socket_) return;
    QTcpSocket* const closing = socket_;
    // What the peer sent just before closing is still worth reading.
    if (closing->bytesAvailable() > 0) Q_EMIT DataArrival();
    // A handler of that data may have closed or reopened the connection meanwhile.
    if (socket_ != closing) return;
    Discard();
    Q_EMIT Closed();
}

void ChatSocket::OnError() {
    if (!socket_) return;
    // The peer's orderly close also arrives here; it is reported once, as Closed.
    if (socket_->error() == QAbstractSocket::RemoteHostClosedError) return;
    const int number = static_cast<int>(socket_->error());
    const QString description = socket_->errorString();
    Discard();
    Q_EMIT Error(number, description);
}

void ChatSocket::OnConnectTimeout() {
    if (state_ != State::Connecting) return;
    Discard();
    Q_EMIT Error(static_cast<int>(QAbstractSocket::SocketTimeoutError),
                 QStringLiteral("Connection timed out"));
}

}  // namespace zarivok
