#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "connection/SendQueue.h"

namespace zarivok {

class ChatOutput;
class Connection;
struct Settings;

// Everything the bot says after the login handshake: the one way out (SendChatText), the Send
// button's behaviour, and the anti-idle line every two minutes.
class Outgoing : public QObject {
    Q_OBJECT
  public:
    static constexpr int kAntiIdleTickMs = 1000;
    static constexpr int kAntiIdleTicks = 120;

    // ownName: the bot's own name, which the echo of its talk shows; settings: the anti-idle
    // line's text.
    Outgoing(Connection& connection, ChatOutput& output, const Settings& settings,
             const QString& ownName);

    // Says one line (cut at its first CR or LF): it goes out at once while the flood budget
    // allows, otherwise it waits its turn. Ordinary talk is echoed in the chat pane when it
    // actually leaves; a line starting with "/" is a command to the server and is not echoed.
    // When not connected, the text is dropped and a new connection is started instead.
    void SendChatText(const QString& text);
    // A reply of a handler that may let events run: said only on the connection named by link
    // (Connection::ReplyLink, taken when the handler began) while it is still open. A link of 0
    // (nothing was open) sends as above.
    void SendChatText(const QString& text, quint64 link);
    // The same, with every line of the text tagged (see SendQueue::Enqueue); LineSent reports
    // each tagged line as it leaves.
    void SendChatText(const QString& text, quint64 link, quint64 tag);
    // A tag no other sender uses.
    quint64 NewTag() { return ++lastTag_; }
    bool IsWaiting(quint64 tag) const { return queue_.Holds(tag); }
    qsizetype WaitingLines(quint64 tag) const { return queue_.CountHolding(tag); }
    // The Send button: sends the input box's text, then lets pending events run.
    void Send(const QString& text);
    // Forgets lines waiting for an old connection.
    void DropQueuedLines();
    // The program is ending: no more anti-idle lines and nothing waits to be sent.
    void Shutdown();
    qsizetype QueuedLines() const { return queue_.Pending(); }
    // The flood budget's clock (monotonic milliseconds); tests replace it.
    void SetClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // Sends the waiting lines that fit the budget now; the pump timer calls it, and tests with a
    // clock of their own.
    void PumpQueue();

    // One anti-idle tick, public so that tests need not wait two minutes.
    void AntiIdle_Timer();
    qint64 IdleCount() const { return lngIdleCount_; }
    const QTimer& AntiIdle() const { return antiIdle_; }

  signals:
    // A line queued with a tag has left for the server.
    void LineSent(quint64 tag);

  private:
    void Enqueue(const QString& text, quint64 tag);
    void Transmit(const QString& line, quint64 tag);
    // Wakes the queue when its first waiting line fits the budget.
    void ArmPump();

    Connection& connection_;
    ChatOutput& output_;
    const Settings& settings_;
    const QString& ownName_;
    std::function<qint64()> clock_;
    SendQueue queue_;
    QTimer pump_;
    QTimer antiIdle_;
    qint64 lngIdleCount_ = 0;
    quint64 lastTag_ = 0;
};

}  // namespace zarivok
