#pragma once

#include <QByteArray>
#include <QByteArrayList>

namespace zarivok {

class ChatGateway;

namespace testing {

// Sends the server lines on the gateway's current connection, then the master's "?trigger":
// its answer marks the end of what the bot said for them, so that silence is proven without
// waiting. Returns what the bot said in between, or "(no marker)".
QByteArray Exchange(ChatGateway& gateway, const QByteArrayList& lines);

}  // namespace testing
}  // namespace zarivok
