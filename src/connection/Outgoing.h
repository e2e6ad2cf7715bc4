#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

namespace zarivok {

class Bot;

// Everything the bot says after the login handshake: the one way out (SendChatText), the Send
// button's behaviour, and the anti-idle line every two minutes.
class Outgoing : public QObject {
    Q_OBJECT
  public:
    static constexpr int kAntiIdleTickMs = 1000;
    static constexpr int kAntiIdleTicks = 120;

    explicit Outgoing(Bot& bot);

    // Sends one line (cut at its first CR or LF) and echoes ordinary talk in the chat pane; a
    // line starting with "/" is a command to the server and is not echoed. When not connected,
    // the text is dropped and a new connection is started instead.
    void SendChatText(const QString& text);
    // The Send button: sends the input box's text, then lets pending events run.
    void Send(const QString& text);
    // Forgets lines waiting for an old connection.
    void DropQueuedLines();

    // One anti-idle tick, public so that tests need not wait two minutes.
    void AntiIdle_Timer();
    qint64 IdleCount() const { return lngIdleCount_; }
    const QTimer& AntiIdle() const { return antiIdle_; }

  private:
    void Transmit(const QString& line);

    Bot& bot_;
    QTimer antiIdle_;
    qint64 lngIdleCount_ = 0;
};

}  // namespace zarivok
