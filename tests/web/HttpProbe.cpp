#include "web/HttpProbe.h"

#include <sys/socket.h>

#include "support/ChatGateway.h"

namespace zarivok::testing {

QByteArray HttpAnswer::Header(const QByteArray& name) const {
    for (const QByteArray& line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return {};
}

QByteArray HttpProbe::RequestBytes(const QByteArray& method, const QByteArray& path,
                                   const Headers& headers, const QByteArray& body) const {
    QByteArray bytes = method + ' ' + path + " HTTP/1.1\r\nHost: " + Host() + "\r\n";
    for (const auto& [name, value] : headers) bytes += name + ": " + value + "\r\n";
    if (!body.isEmpty() || method == "POST") {
        bytes += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    }
    return bytes + "\r\n" + body;
}

HttpAnswer HttpProbe::Request(const QByteArray& method, const QByteArray& path,
                              const Headers& headers, const QByteArray& body) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port_);
    HttpAnswer answer;
    if (!socket.waitForConnected(5000)) return answer;
    Headers all = headers;
    all.append(std::pair<QByteArray, QByteArray>("Connection", "close"));
    socket.write(RequestBytes(method, path, all, body));
    QByteArray received;
    qsizetype headEnd = -1;
    qsizetype length = -1;
    ChatGateway::WaitUntil([&] {
        received += socket.readAll();
        if (headEnd < 0 && (headEnd = received.indexOf("\r\n\r\n")) >= 0) {
            answer.head = received.left(headEnd);
            const QByteArray contentLength = answer.Header("Content-Length");
            if (!contentLength.isEmpty()) length = contentLength.toLongLong();
        }
        if (headEnd >= 0 && length >= 0 && received.size() >= headEnd + 4 + length) return true;
        return socket.state() == QAbstractSocket::UnconnectedState;
    });
    if (headEnd < 0) return answer;
    const QList<QByteArray> statusLine = answer.head.left(answer.head.indexOf('\r')).split(' ');
    if (statusLine.size() >= 2) answer.status = statusLine[1].toInt();
    answer.body = received.mid(headEnd + 4);
    if (length >= 0) answer.body.truncate(length);
    return answer;
}

HttpAnswer HttpProbe::PostJson(const QByteArray& path, const QByteArray& json, Headers headers) {
    headers.append(std::pair<QByteArray, QByteArray>("Content-Type", "application/json"));
    return Request("POST", path, headers, json);
}

std::pair<QByteArray, QByteArray> HttpProbe::LogIn(const QByteArray& token) {
    const HttpAnswer answer = PostJson("/api/login", "{\"token\":\"" + token + "\"}");
    const QByteArray cookie = answer.Header("Set-Cookie");
    return {"Cookie", cookie.left(cookie.indexOf(';'))};
}

std::unique_ptr<QTcpSocket> HttpProbe::OpenStream(const Headers& headers, int receiveBufferBytes) {
    auto socket = std::make_unique<QTcpSocket>();
    if (receiveBufferBytes > 0) {
        // Qt reads everything the system has into its own buffer unless told not to; a small
        // window on both sides makes the console's side fill up soon.
        socket->setReadBufferSize(receiveBufferBytes);
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, receiveBufferBytes);
    }
    socket->connectToHost(QHostAddress::LocalHost, port_);
    if (!socket->waitForConnected(5000)) return nullptr;
    socket->write(RequestBytes("GET", "/events", headers, {}));
    return socket;
}

bool ReadUntil(QTcpSocket& socket, QByteArray& received, const QByteArray& needle, int timeoutMs) {
    return ChatGateway::WaitUntil(
        [&] {
            received += socket.readAll();
            return received.contains(needle);
        },
        timeoutMs);
}

}  // namespace zarivok::testing
