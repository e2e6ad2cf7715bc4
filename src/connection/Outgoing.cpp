#include "connection/Outgoing.h"

#include <QElapsedTimer>

#include "connection/Connection.h"
#include "core/Bot.h"
#include "core/Texts.h"
#include "protocol/TextCodec.h"

namespace zarivok {
namespace {

qint64 MonotonicMs() {
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

}  // namespace

Outgoing::Outgoing(Bot& bot)
    : bot_(bot),
      clock_(&MonotonicMs),
      queue_([this] { return clock_(); },
             [this](const QString& line, quint64 tag) { Transmit(line, tag); }) {
    pump_.setSingleShot(true);
    connect(&pump_, &QTimer::timeout, this, &Outgoing::PumpQueue);
    antiIdle_.setInterval(kAntiIdleTickMs);
    connect(&antiIdle_, &QTimer::timeout, this, &Outgoing::AntiIdle_Timer);
    antiIdle_.start();
}

void Outgoing::SendChatText(const QString& text) { Enqueue(text, 0); }

void Outgoing::Enqueue(const QString& text, quint64 tag) {
    Connection& connection = bot_.GetConnection();
    // A program that is ending neither says anything nor connects for it.
    if (connection.IsEnding()) return;
    if (connection.Socket().IsConnected()) {
        const int dropped = queue_.Enqueue(text, tag);
        if (dropped > 0) {
            bot_.AppendChat(QStringLiteral("Too much to say at once: %1 line(s) dropped, %2 "
                                           "still waiting to be sent.")
                                    .arg(dropped)
                                    .arg(queue_.Pending()) +
                                kCrLf,
                            kRed);
        }
        ArmPump();
        return;
    }
    bot_.AppendChat(QLatin1String(kReconnecting) + kCrLf, kWhite);
    connection.CloseConnection();
    connection.ConnectToServer();
}

void Outgoing::SendChatText(const QString& text, quint64 link) { SendChatText(text, link, 0); }

void Outgoing::SendChatText(const QString& text, quint64 link, quint64 tag) {
    Connection& connection = bot_.GetConnection();
    if (link == 0 || connection.IsLinkOpen(link)) {
        Enqueue(text, tag);
        return;
    }
    if (connection.IsEnding()) return;
    bot_.AppendChat(
        QStringLiteral("Not sent, the connection it answers has closed: ") + text + kCrLf, kRed);
}

void Outgoing::Transmit(const QString& line, quint64 tag) {
    // The queue is emptied whenever the connection goes, so this only fails on a socket that
    // broke a moment ago; its error event follows.
    if (!bot_.GetConnection().Socket().SendData(EncodeText(line) + "\r\n")) return;
    if (tag != 0) emit LineSent(tag);
    if (line.startsWith(u'/')) return;
    bot_.AppendChat(bot_.TimeStamp() + u'<' + bot_.strName + u'>', kCyan, u' ' + line + kCrLf,
                    kWhite);
}

void Outgoing::Send(const QString& text) {
    SendChatText(text);
    Bot::LetEventsRun();
}

void Outgoing::DropQueuedLines() {
    queue_.Clear();
    pump_.stop();
}

void Outgoing::Shutdown() {
    antiIdle_.stop();
    DropQueuedLines();
}

void Outgoing::PumpQueue() {
    queue_.Pump();
    ArmPump();
}

void Outgoing::ArmPump() {
    const qint64 wait = queue_.MsUntilNextSend();
    if (wait < 0) {
        pump_.stop();
    } else {
        pump_.start(static_cast<int>(std::min<qint64>(wait, 60000)));
    }
}

void Outgoing::AntiIdle_Timer() {
    ++lngIdleCount_;
    if (lngIdleCount_ < kAntiIdleTicks) return;
    SendChatText(QStringLiteral("/me -- ") + bot_.settings.strIdleMsg + QStringLiteral(" -- ") +
                 Signature() + QStringLiteral(" --"));
    lngIdleCount_ = 0;
}

}  // namespace zarivok
