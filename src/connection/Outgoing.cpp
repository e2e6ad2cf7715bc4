#include "connection/Outgoing.h"

#include "connection/Connection.h"
#include "core/Bot.h"
#include "core/Texts.h"
#include "protocol/TextCodec.h"

namespace zarivok {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A line must never carry a line end of its own: the server would take the rest as a second
// line, a command perhaps.
QString FirstLine(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') return text.left(i);
    }
    return text;
}

}  // namespace

Outgoing::Outgoing(Bot& bot) : bot_(bot) {
    antiIdle_.setInterval(kAntiIdleTickMs);
    connect(&antiIdle_, &QTimer::timeout, this, &Outgoing::AntiIdle_Timer);
    antiIdle_.start();
}

void Outgoing::SendChatText(const QString& text) {
    Connection& connection = bot_.GetConnection();
    if (connection.Socket().IsConnected()) {
        Transmit(FirstLine(text));
        return;
    }
    bot_.AppendChat(QStringLiteral("Reconnecting...") + kCrLf, kWhite);
    connection.CloseConnection();
    connection.ConnectToServer();
}

void Outgoing::Transmit(const QString& line) {
    bot_.GetConnection().Socket().SendData(EncodeText(line) + "\r\n");
    if (line.startsWith(u'/')) return;
    bot_.AppendChat(bot_.TimeStamp() + u'<' + bot_.strName + u'>', kCyan, u' ' + line + kCrLf,
                    kWhite);
}

void Outgoing::Send(const QString& text) {
    SendChatText(text);
    Bot::LetEventsRun();
}

void Outgoing::DropQueuedLines() {}

void Outgoing::AntiIdle_Timer() {
    ++lngIdleCount_;
    if (lngIdleCount_ < kAntiIdleTicks) return;
    SendChatText(
        QStringLiteral("/me -- ") + bot_.settings.strIdleMsg +
        QStringLiteral(" -- %1 %2 by %3. --")
            .arg(QLatin1String(kProgramName), QLatin1String(kVersion), QLatin1String(kMasterName)));
    lngIdleCount_ = 0;
}

}  // namespace zarivok
