#include "connection/ServerAddress.h"

namespace zarivok {

ServerAddress ParseServerAddress(const QString& server, quint16 defaultPort) {
    ServerAddress address{server.trimmed(), defaultPort, {}};
    QString portText;
    if (address.host.startsWith(u'[')) {
        const qsizetype close = address.host.indexOf(u']');
        if (close < 0) return address;
        const QString rest = address.host.mid(close + 1);
        // Anything else after the bracket is left for the resolver to refuse.
        if (!rest.isEmpty() && !rest.startsWith(u':')) return address;
        address.host = address.host.mid(1, close - 1);
        if (rest.isEmpty()) return address;
        portText = rest.mid(1);
    } else {
        if (address.host.count(u':') != 1) return address;
        const qsizetype colon = address.host.indexOf(u':');
        portText = address.host.mid(colon + 1);
        address.host = address.host.left(colon);
    }
    bool ok = false;
    const uint port = portText.toUInt(&ok);
    if (ok && port >= 1 && port <= 65535) {
        address.port = static_cast<quint16>(port);
    } else {
        address.problem = QStringLiteral(
                              "Config.ini: \"Server\" has the port \"%1\", not a number "
                              "from 1 to 65535; using %2.")
                              .arg(portText)
                              .arg(defaultPort);
    }
    return address;
}

}  // namespace zarivok
