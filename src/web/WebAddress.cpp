#include "web/WebAddress.h"

namespace zarivok {
namespace {

std::optional<quint16> ParsePort(const QString& text) {
    // Digits only: toUInt would take a sign or blanks.
    if (text.isEmpty() || text.size() > 5) return std::nullopt;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
    }
    const uint port = text.toUInt();
    if (port == 0 || port > 65535) return std::nullopt;
    return static_cast<quint16>(port);
}

}  // namespace

QString WebAddress::HostAndPort() const {
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? u'[' + address.toString() + u']'
                             : address.toString();
    return host + u':' + QString::number(port);
}

QString WebAddress::Url() const { return QStringLiteral("http://") + HostAndPort() + u'/'; }

std::optional<WebAddress> ParseWebAddress(const QString& text, QString* problem) {
    const auto fail = [&](const QString& why) -> std::optional<WebAddress> {
        if (problem) *problem = QStringLiteral("--web %1: %2").arg(text, why);
        return std::nullopt;
    };
    QString host;
    QString portText = text;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(QStringLiteral("]:"));
        if (close < 0) return fail(QStringLiteral("an IPv6 address is written [ADDRESS]:PORT."));
        host = text.mid(1, close - 1);
        portText = text.mid(close + 2);
    } else if (const qsizetype colon = text.lastIndexOf(u':'); colon >= 0) {
        host = text.left(colon);
        portText = text.mid(colon + 1);
        if (host.contains(u':')) {
            return fail(QStringLiteral("an IPv6 address is written [ADDRESS]:PORT."));
        }
    }
    WebAddress where;
    const auto port = ParsePort(portText);
    if (!port) return fail(QStringLiteral("the port must be a number from 1 to 65535."));
    where.port = *port;
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) {
        where.address = QHostAddress(QHostAddress::LocalHost);
    } else if (!host.isEmpty() || text.contains(u':')) {
        if (!where.address.setAddress(host) || host.contains(u'%')) {
            return fail(QStringLiteral("%1 is not an IP address.").arg(host));
        }
    }
    return where;
}

}  // namespace zarivok
