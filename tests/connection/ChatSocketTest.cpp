#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSignalSpy>
#include <QTcpSocket>

#include "connection/ChatSocket.h"
#include "support/ChatGateway.h"

namespace zarivok {
namespace {

// A listening socket on 127.0.0.1 that never accepts and whose queue is full after one client:
// the next connection attempt gets no answer at all, like a host that drops packets.
class FullListener {
  public:
    FullListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ok_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
              ::listen(fd_, 0) == 0 &&
              ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0;
        port_ = ntohs(address.sin_port);
    }
    ~FullListener() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool ok() const { return ok_; }
    quint16 port() const { return port_; }

  private:
    int fd_ = -1;
    bool ok_ = false;
    quint16 port_ = 0;
};

TEST(ChatSocketTest, AnAttemptThatGetsNoAnswerFailsAfterTheTimeout) {
    FullListener listener;
    ASSERT_TRUE(listener.ok());
    QTcpSocket first;
    first.connectToHost(QStringLiteral("127.0.0.1"), listener.port());
    ASSERT_TRUE(first.waitForConnected(5000));

    ChatSocket socket;
    socket.SetConnectTimeout(300);
    socket.RemoteHost = QStringLiteral("127.0.0.1");
    socket.RemotePort = listener.port();
    QSignalSpy errors(&socket, &ChatSocket::Error);
    QSignalSpy connected(&socket, &ChatSocket::Connected);
    socket.Connect();
    ASSERT_TRUE(errors.wait(10000));
    EXPECT_EQ(errors.first().at(1).toString(), QStringLiteral("Connection timed out"));
    EXPECT_EQ(socket.GetState(), ChatSocket::State::Closed);
    EXPECT_TRUE(connected.isEmpty());
}

TEST(ChatSocketTest, APeersCloseIsAClosedEventAndALocalCloseRaisesNothing) {
    ChatGateway gateway;
    gateway.SetLoginScript(false);
    ChatSocket socket;
    socket.RemoteHost = QStringLiteral("127.0.0.1");
    socket.RemotePort = gateway.Port();
    QSignalSpy closed(&socket, &ChatSocket::Closed);
    QSignalSpy errors(&socket, &ChatSocket::Error);
    QSignalSpy arrivals(&socket, &ChatSocket::DataArrival);
    socket.Connect();
    ASSERT_TRUE(gateway.WaitForConnections(1));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return socket.IsConnected(); }));
    gateway.Send("last words\r\n");
    gateway.CloseClient();
    ASSERT_TRUE(closed.wait(5000));
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_FALSE(arrivals.isEmpty());
    EXPECT_EQ(socket.GetState(), ChatSocket::State::Closed);

    socket.Connect();
    ASSERT_TRUE(gateway.WaitForConnections(2));
    ASSERT_TRUE(ChatGateway::WaitUntil([&] { return socket.IsConnected(); }));
    socket.Close();
    ASSERT_TRUE(gateway.WaitForDisconnect());
    // A new connection made after that is the marker: anything the old one still had to say
    // would have come before it.
    QSignalSpy connected(&socket, &ChatSocket::Connected);
    socket.Connect();
    ASSERT_TRUE(connected.wait(5000));
    EXPECT_EQ(closed.size(), 1);
    EXPECT_TRUE(errors.isEmpty());
}

}  // namespace
}  // namespace zarivok
