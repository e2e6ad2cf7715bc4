#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <optional>

class QTcpSocket;

namespace zarivok {

// The bot's TCP client, shaped after the events the connection logic is written against: an
// asynchronous Connect that ends in Connected or Error, DataArrival per arrival, Closed only
// when the peer closes, and a local Close that raises no event at all.
//
// Its events are never raised inside QTcpSocket's own signals: handlers let events run (pauses,
// the user database load), and inside a running readyRead Qt would neither announce further data
// nor keep the socket alive through a deleteLater. The socket's signals only note what happened;
// the events follow from the event loop, in order, and data keeps being delivered until nothing
// is left, so a line that arrives during a pause is handled inside that pause.
class ChatSocket : public QObject {
    Q_OBJECT
  public:
    // Closing: the peer closed or the connection failed, and the event saying so has not been
    // delivered yet (data received before it still is).
    enum class State { Closed, Connecting, Connected, Closing };

    // A connection attempt that has not succeeded by then fails with an Error event, as the
    // platform's own sockets do, so a silent host cannot hold the bot forever.
    static constexpr int kDefaultConnectTimeoutMs = 30000;
    // Received bytes are handed on at most this many at a time, and Qt reads no more than this
    // ahead: together they bound what the socket ever holds for the bot, however fast or long
    // the server sends.
    static constexpr qsizetype kReadBufferBytes = 64 * 1024;
    static constexpr qsizetype kMaxWaitingBytes = 2 * kReadBufferBytes;

    explicit ChatSocket(QObject* parent = nullptr);
    ~ChatSocket() override;

    State GetState() const { return state_; }
    bool IsConnected() const { return state_ == State::Connected; }
    // Changes whenever a connection is opened or dropped: what was said about one connection can
    // be told from what belongs to the next.
    quint64 Generation() const { return generation_; }

    QString RemoteHost;
    quint16 RemotePort = 0;

    // Starts connecting to RemoteHost:RemotePort, abandoning whatever was open before.
    void Connect();
    // Closes at once and silently; nothing of the old connection is reported afterwards.
    void Close();
    // Queues bytes for sending; false when not connected.
    bool SendData(const QByteArray& bytes);
    // Takes the bytes that have arrived, at most kReadBufferBytes: the rest comes with the next
    // DataArrival.
    QByteArray GetData();

    void SetConnectTimeout(int ms) { connectTimeoutMs_ = ms; }

    // Received bytes not handed on yet, and the most there ever were at once since the
    // connection was opened.
    qsizetype WaitingBytes() const;
    qsizetype MostBytesWaiting() const { return mostBytesWaiting_; }

  Q_SIGNALS:
    void Connected();
    void DataArrival();
    void Closed();
    void Error(int number, const QString& description);
    // The bytes that SendData has just handed to the connection, exactly as they go out. The bot
    // itself never listens: it is there so that what the bot says can be traced or checked where
    // it leaves, without a server reading it back (a protocol trace, the receive fuzzer, which
    // checks every line the moment it is said).
    void DataSent(const QByteArray& bytes);

  private:
    struct Failure {
        bool closed = false;  // the peer's orderly close, else an error
        int number = 0;
        QString description;
    };

    void Discard();
    void Detach();
    void ScheduleDelivery();
    void Deliver();
    void OnConnected();
    void OnReadyRead();
    void OnDisconnected();
    void OnError();
    void OnConnectTimeout();
    void Fail(Failure failure);
    void TakeFromSocket();
    void NoteWaiting();

    // A fresh QTcpSocket per attempt: events of an abandoned connection can never reach the bot.
    QPointer<QTcpSocket> socket_;
    State state_ = State::Closed;
    quint64 generation_ = 0;
    QTimer connectTimer_;
    int connectTimeoutMs_ = kDefaultConnectTimeoutMs;

    // What the socket's signals noted and the event loop has yet to deliver.
    bool connectedPending_ = false;
    QByteArray inbox_;
    std::optional<Failure> endPending_;
    bool deliveryScheduled_ = false;
    qsizetype mostBytesWaiting_ = 0;
};

}  // namespace zarivok
