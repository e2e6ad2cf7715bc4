// zarivok_bench_bare: the baselines that scripts/bench measures the headless program against.
//   zarivok_bench_bare copy PORT   copies what 127.0.0.1:PORT sends to stdout until it closes
//                                  (plain read and write, no Qt)
//   zarivok_bench_bare core PORT   a Qt program (Core and Network, as the headless bot) that
//                                  connects, sends the bot's handshake and then idles: the floor
//                                  for start-up and memory without a window
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTcpSocket>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        std::perror("zarivok_bench_bare: connect");
        std::exit(1);
    }
    return fd;
}

int Copy(int port) {
    const int fd = Connect(port);
    static char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return 0;
        for (ssize_t written = 0; written < count;) {
            const ssize_t n = ::write(STDOUT_FILENO, buffer + written, count - written);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return 1;
            written += n;
        }
    }
}

int Core(int argc, char** argv, int port) {
    QCoreApplication app(argc, argv);
    QTcpSocket socket;
    QObject::connect(&socket, &QTcpSocket::connected, [&socket] {
        socket.write(
            "\x03\x04"
            "bot1\r\nbotpass\r\n/join Lobby\r\n");
    });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&socket] { socket.readAll(); });
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    return QCoreApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "copy") == 0) return Copy(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "core") == 0) return Core(argc, argv, std::atoi(argv[2]));
    std::fprintf(stderr, "usage: zarivok_bench_bare copy PORT | core PORT\n");
    return 2;
}
