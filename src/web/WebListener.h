#pragma once

#include <QTcpServer>

namespace zarivok {

// The web console's listening socket, with the limits the HTTP server itself does not set: it
// reads a request's whole body into memory and takes any number of connections. A connection
// beyond kMaxConnections is closed at once, and one that sends more than kMaxRequestBytes
// without being answered is dropped, so that nobody who can connect can fill the bot's memory.
class WebListener : public QTcpServer {
    Q_OBJECT
  public:
    static constexpr int kMaxConnections = 64;
    // The largest request the console takes: a Users.txt or ban list of a few hundred thousand
    // names fits many times over.
    static constexpr qint64 kMaxRequestBytes = 8 * 1024 * 1024;

    using QTcpServer::QTcpServer;
    int OpenConnections() const { return open_; }

  protected:
    void incomingConnection(qintptr descriptor) override;

  private:
    int open_ = 0;
};

}  // namespace zarivok
