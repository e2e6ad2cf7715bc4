#include "connection/Outgoing.h"

#include <QElapsedTimer>

#include "base/PauseTicks.h"
#include "base/TextCodec.h"
#include "base/Texts.h"
#include "connection/Connection.h"
#include "display/ChatOutput.h"
#include "settings/Settings.h"

namespace zarivok {
namespace {

qint64 MonotonicMs() {
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

}  // namespace

Outgoing::Outgoing(Connection& connection, ChatOutput& output, const Settings& settings,
                   const QString& ownName)
    : connection_(connection),
      output_(output),
      settings_(settings),
      ownName_(ownName),
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
    // A program that is ending neither says anything nor connects for it.
    if (connection_.IsEnding()) return;
    if (connection_.Socket().IsConnected()) {
        const int dropped = queue_.Enqueue(text, tag);
        if (dropped > 0) {
            output_.AppendChat(QStringLiteral("Too much to say at once: %1 line(s) dropped, %2 "
                                              "still waiting to be sent.")
                                       .arg(dropped)
                                       .arg(queue_.Pending()) +
                                   kCrLf,
                               kRed);
        }
        ArmPump();
        return;
    }
    output_.AppendChat(QLatin1String(kReconnecting) + kCrLf, kWhite);
    connection_.CloseConnection();
    connection_.ConnectToServer();
}

void Outgoing::SendChatText(const QString& text, quint64 link) { SendChatText(text, link, 0); }

void Outgoing::SendChatText(const QString& text, quint64 link, quint64 tag) {
    if (link == 0 || connection_.IsLinkOpen(link)) {
        Enqueue(text, tag);
        return;
    }
    if (connection_.IsEnding()) return;
    output_.AppendChat(
        QStringLiteral("Not sent, the connection it answers has closed: ") + text + kCrLf, kRed);
}

void Outgoing::Transmit(const QString& line, quint64 tag) {
    // The queue is emptied whenever the connection goes, so this only fails on a socket that
    // broke a moment ago; its error event follows.
    if (!connection_.Socket().SendData(EncodeText(line) + "\r\n")) return;
    if (tag != 0) emit LineSent(tag);
    if (line.startsWith(u'/')) return;
    output_.AppendChat(output_.TimeStamp() + u'<' + ownName_ + u'>', kCyan, u' ' + line + kCrLf,
                       kWhite);
}

void Outgoing::Send(const QString& text) {
    SendChatText(text);
    LetEventsRun();
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
    SendChatText(QStringLiteral("/me -- ") + settings_.strIdleMsg + QStringLiteral(" -- ") +
                 Signature() + QStringLiteral(" --"));
    lngIdleCount_ = 0;
}

}  // namespace zarivok
