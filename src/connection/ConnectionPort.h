#pragma once

#include <QByteArray>
#include <QStringList>

namespace zarivok {

// What the connection asks of the bot that owns it.
class ConnectionPort {
  public:
    virtual ~ConnectionPort() = default;

    // Config.ini read anew into the settings the connection was given; the problems found, one
    // line each.
    virtual QStringList LoadSettings() = 0;
    // At a connect, after Config.ini: the other files a connect reads anew.
    virtual void LoadConnectFiles() = 0;
    // Everything the socket delivered, in order.
    virtual void Received(const QByteArray& data) = 0;
    // The connection was dropped or replaced: nothing of it may reach the next one (a line it
    // cut short, lines still waiting to be sent).
    virtual void ForgetConnection() = 0;
    // The Exit menu item: the program ends at once.
    virtual void Quit() = 0;
};

}  // namespace zarivok
