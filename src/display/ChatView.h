#pragma once

#include <QString>

#include "base/ChatColour.h"
#include "channel/ChannelEvent.h"

namespace zarivok {

class ChatOutput;
class ChatPane;
struct Settings;

// What the chat pane shows for each event of the channel: the time stamp, the speaker and the
// text in colours chosen from the event and its flags; join and leave notices while they are
// switched on. A whisper received is shown in the whisper pane too.
class ChatView : public ChannelListener {
  public:
    ChatView(ChatOutput& output, const Settings& settings);

    void Hear(const ChannelEvent& event) override;

    // The whisper pane gets the same runs, without counting or clearing. Without a whisper pane
    // (the terminal front end) the chat pane's copy is the only one.
    void SetWhisperPane(ChatPane* pane) { whisperPane_ = pane; }
    void AppendWhisper(const QString& firstText, ChatColour firstColour,
                       const QString& secondText = {}, ChatColour secondColour = 0);

  private:
    void ShowWhisperFrom(const ChannelEvent& event);
    void ShowTalk(const ChannelEvent& event);
    // "Channel NAME is full" and its kin: a join the server refused.
    void ShowChannelRefusal(QStringView channel, QStringView why);
    void ShowNotice(const QString& text);
    bool NotificationsOn() const;

    ChatOutput& output_;
    const Settings& settings_;
    ChatPane* whisperPane_ = nullptr;
};

}  // namespace zarivok
