#include "connection/ChatSocket.h"

#include <QTcpSocket>
#include <algorithm>
#include <utility>

namespace zarivok {

ChatSocket::ChatSocket(QObject* parent) : QObject(parent) {
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, &ChatSocket::OnConnectTimeout);
}

ChatSocket::~ChatSocket() { Discard(); }

void ChatSocket::Discard() {
    ++generation_;
    connectTimer_.stop();
    state_ = State::Closed;
    connectedPending_ = false;
    inbox_.clear();
    endPending_.reset();
    mostBytesWaiting_ = 0;
    Detach();
}

void ChatSocket::Detach() {
    if (!socket_) return;
    QTcpSocket* old = socket_;
    socket_ = nullptr;
    old->disconnect(this);
    old->abort();
    // Never deleted at once: this may run inside one of its own signals.
    old->deleteLater();
}

void ChatSocket::Connect() {
    Discard();
    auto* socket = new QTcpSocket(this);
    // Qt reads no further ahead of the bot than this: the rest waits in the system, and TCP
    // slows down a server that sends faster than the bot reads, instead of memory growing.
    socket->setReadBufferSize(kReadBufferBytes);
    socket_ = socket;
    connect(socket, &QTcpSocket::connected, this, &ChatSocket::OnConnected);
    connect(socket, &QTcpSocket::readyRead, this, &ChatSocket::OnReadyRead);
    connect(socket, &QTcpSocket::disconnected, this, &ChatSocket::OnDisconnected);
    connect(socket, &QTcpSocket::errorOccurred, this, &ChatSocket::OnError);
    state_ = State::Connecting;
    if (connectTimeoutMs_ > 0) connectTimer_.start(connectTimeoutMs_);
    socket->connectToHost(RemoteHost, RemotePort);
}

void ChatSocket::Close() { Discard(); }

bool ChatSocket::SendData(const QByteArray& bytes) {
    if (!socket_ || state_ != State::Connected) return false;
    if (socket_->write(bytes) != bytes.size()) return false;
    // On the wire now, not when the event loop next looks at the socket: a reply then leaves
    // before the pane and the log have written the line that asked for it.
    socket_->flush();
    Q_EMIT DataSent(bytes);
    return true;
}

QByteArray ChatSocket::GetData() {
    TakeFromSocket();
    return std::exchange(inbox_, {});
}

void ChatSocket::TakeFromSocket() {
    // One buffer's worth at a time: what is left is handed on in the next arrival.
    if (socket_ && inbox_.isEmpty()) inbox_ = socket_->readAll();
    NoteWaiting();
}

qsizetype ChatSocket::WaitingBytes() const {
    return inbox_.size() + (socket_ ? socket_->bytesAvailable() : 0);
}

void ChatSocket::NoteWaiting() { mostBytesWaiting_ = std::max(mostBytesWaiting_, WaitingBytes()); }

void ChatSocket::ScheduleDelivery() {
    if (deliveryScheduled_) return;
    deliveryScheduled_ = true;
    QMetaObject::invokeMethod(this, &ChatSocket::Deliver, Qt::QueuedConnection);
}

void ChatSocket::Deliver() {
    deliveryScheduled_ = false;
    // A handler may close or reopen the connection; nothing of the old one follows after that.
    const quint64 generation = generation_;
    if (connectedPending_) {
        connectedPending_ = false;
        if (state_ == State::Connecting) state_ = State::Connected;
        Q_EMIT Connected();
        if (generation_ != generation) return;
    }
    for (;;) {
        TakeFromSocket();
        const qsizetype waiting = inbox_.size();
        if (waiting == 0) break;
        Q_EMIT DataArrival();
        if (generation_ != generation) return;
        // Nobody took the data: leave it for the next arrival instead of spinning.
        if (inbox_.size() >= waiting) break;
    }
    if (!endPending_) return;
    const Failure failure = std::move(*endPending_);
    Discard();
    if (failure.closed) {
        Q_EMIT Closed();
    } else {
        Q_EMIT Error(failure.number, failure.description);
    }
}

void ChatSocket::OnConnected() {
    connectTimer_.stop();
    connectedPending_ = true;
    ScheduleDelivery();
}

void ChatSocket::OnReadyRead() { ScheduleDelivery(); }

void ChatSocket::OnDisconnected() { Fail({true, 0, {}}); }

void ChatSocket::OnError() {
    if (!socket_) return;
    // The peer's orderly close also arrives here; it is reported once, as Closed.
    if (socket_->error() == QAbstractSocket::RemoteHostClosedError) return;
    Fail({false, static_cast<int>(socket_->error()), socket_->errorString()});
}

void ChatSocket::OnConnectTimeout() {
    if (state_ != State::Connecting) return;
    Fail({false, static_cast<int>(QAbstractSocket::SocketTimeoutError),
          QStringLiteral("Connection timed out")});
}

void ChatSocket::Fail(Failure failure) {
    if (state_ == State::Closed || state_ == State::Closing) return;
    connectTimer_.stop();
    // What the peer sent before it went is still worth reading; the socket itself goes now.
    if (socket_) inbox_ += socket_->readAll();
    NoteWaiting();
    Detach();
    state_ = State::Closing;
    endPending_ = std::move(failure);
    ScheduleDelivery();
}

}  // namespace zarivok
