#pragma once

#include <QHostAddress>
#include <QString>
#include <optional>

namespace zarivok {

// Where the web console listens: --web [ADDRESS:]PORT.
struct WebAddress {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = 0;

    // "127.0.0.1:8080", "[::1]:8080": the address as a browser writes it.
    QString HostAndPort() const;
    // "http://127.0.0.1:8080/"
    QString Url() const;
    bool IsLoopback() const { return address.isLoopback(); }
};

// PORT alone (on 127.0.0.1), or ADDRESS:PORT with an IP address, an IPv6 one in brackets
// ("[::1]:8080"), or "localhost". On a malformed text, problem says why.
std::optional<WebAddress> ParseWebAddress(const QString& text, QString* problem);

}  // namespace zarivok
