#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpSocket>
#include <memory>
#include <utility>

namespace zarivok::testing {

// A browser's requests as bytes on a real socket to 127.0.0.1, so that tests see exactly what
// the console answers: status, headers, body, or no answer at all.
struct HttpAnswer {
    int status = 0;  // 0: the connection closed without an answer
    QByteArray head;
    QByteArray body;
    QByteArray Header(const QByteArray& name) const;
};

class HttpProbe {
  public:
    explicit HttpProbe(quint16 port) : port_(port) {}

    using Headers = QList<std::pair<QByteArray, QByteArray>>;
    // One request on a new connection ("Connection: close"); waits for the whole answer.
    HttpAnswer Request(const QByteArray& method, const QByteArray& path,
                       const Headers& headers = {}, const QByteArray& body = {});
    HttpAnswer Get(const QByteArray& path, const Headers& headers = {}) {
        return Request("GET", path, headers);
    }
    HttpAnswer PostJson(const QByteArray& path, const QByteArray& json, Headers headers = {});
    // Logs in with token; the session's "Cookie" header, or nothing.
    std::pair<QByteArray, QByteArray> LogIn(const QByteArray& token);

    // Opens a stream on a socket the caller reads (or, to play a stuck browser, never reads).
    std::unique_ptr<QTcpSocket> OpenStream(const Headers& headers, int receiveBufferBytes = 0);
    QByteArray Host() const { return "127.0.0.1:" + QByteArray::number(port_); }

  private:
    QByteArray RequestBytes(const QByteArray& method, const QByteArray& path,
                            const Headers& headers, const QByteArray& body) const;
    quint16 port_;
};

// Reads what the socket has until needle is in it or the time is up.
bool ReadUntil(QTcpSocket& socket, QByteArray& received, const QByteArray& needle,
               int timeoutMs = 5000);

}  // namespace zarivok::testing
