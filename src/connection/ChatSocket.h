#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QTcpSocket;

namespace zarivok {

// The bot's TCP client, shaped after the events the connection logic is written against: an
// asynchronous Connect that ends in Connected or Error, DataArrival per arrival, Closed only
// when the peer closes, and a local Close that raises no event at all.
class ChatSocket : public QObject {
    Q_OBJECT
  public:
    enum class State { Closed, Connecting, Connected };

    // A connection attempt that has not succeeded by then fails with an Error event, as the
    // platform's own sockets do, so a silent host cannot hold the bot forever.
    static constexpr int kDefaultConnectTimeoutMs = 30000;

    explicit ChatSocket(QObject* parent = nullptr);
    ~ChatSocket() override;

    State GetState() const { return state_; }
    bool IsConnected() const { return state_ == State::Connected; }

    QString RemoteHost;
    quint16 RemotePort = 0;

    // Starts connecting to RemoteHost:RemotePort, abandoning whatever was open before.
    void Connect();
    // Closes at once and silently; nothing of the old connection is reported afterwards.
    void Close();
    // Queues bytes for sending; false when not connected.
    bool SendData(const QByteArray& bytes);
    // Takes every byte that has arrived.
    QByteArray GetData();

    void SetConnectTimeout(int ms) { connectTimeoutMs_ = ms; }

  Q_SIGNALS:
    void Connected();
    void DataArrival();
    void Closed();
    void Error(int number, const QString& description);

  private:
    void Discard();
    void OnConnected();
    void OnDisconnected();
    void OnError();
    void OnConnectTimeout();

    // A fresh QTcpSocket per attempt: events of an abandoned connection can never reach the bot.
    QPointer<QTcpSocket> socket_;
    State state_ = State::Closed;
    QTimer connectTimer_;
    int connectTimeoutMs_ = kDefaultConnectTimeoutMs;
};

}  // namespace zarivok
