#pragma once

#include <QString>

namespace zarivok {

struct ServerAddress {
    QString host;
    quint16 port = 0;
    // Set when the written port was unusable and the default port is used instead.
    QString problem;
};

// Splits the "Server" setting: "host", "host:port", "[v6-address]:port", or a bare IPv6
// address (more than one colon), which has no port. Without a usable port, defaultPort holds.
ServerAddress ParseServerAddress(const QString& server, quint16 defaultPort);

}  // namespace zarivok
