#pragma once

#include <QObject>
#include <QString>
#include <QStringView>

#include "channel/ChannelEvent.h"

namespace zarivok {

class ChatOutput;

// Whether text holds name as a word of its own, ignoring letter case: the characters around
// it, if any, are neither letters, digits nor underscores ("bot1," and "@bot1" name bot1;
// "bot12" and "robot1" do not).
bool NamesWholeWord(QStringView text, QStringView name);

// Alerts: raised for a whisper, and for a channel line of somebody else's that names the bot as
// a whole word (ignoring letter case), while they are on. Front ends decide whether the operator
// is looking; the pane never changes for one.
class Alerts : public QObject, public ChannelListener {
    Q_OBJECT
  public:
    // ownName: the bot's own name; output: where the switch says what it did.
    Alerts(const QString& ownName, ChatOutput& output);

    void Hear(const ChannelEvent& event) override;

    // The Options menu's switch: its caption is its memory, on at start.
    const QString& Caption() const { return caption_; }
    void Click();
    bool On() const;

  Q_SIGNALS:
    void Alert(const QString& who, const QString& text);

  private:
    void AlertIfNamed(QStringView speaker, QStringView text);

    const QString& ownName_;
    ChatOutput& output_;
    QString caption_;
};

}  // namespace zarivok
