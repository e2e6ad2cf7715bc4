#include "web/WebListener.h"

#include <QTcpSocket>
#include <memory>

namespace zarivok {

void WebListener::incomingConnection(qintptr descriptor) {
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    if (open_ >= kMaxConnections) {
        socket->abort();
        delete socket;
        return;
    }
    ++open_;
    connect(socket, &QObject::destroyed, this, [this] { --open_; });
    // Connected before the HTTP server's own handler, so this sees each arrival first: the
    // bytes it brings count until the next answer goes out.
    auto unanswered = std::make_shared<qint64>(0);
    connect(socket, &QIODevice::readyRead, this, [socket, unanswered] {
        *unanswered += socket->bytesAvailable();
        if (*unanswered > kMaxRequestBytes) socket->abort();
    });
    connect(socket, &QIODevice::bytesWritten, this, [unanswered] { *unanswered = 0; });
    addPendingConnection(socket);
}

}  // namespace zarivok
