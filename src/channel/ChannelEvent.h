#pragma once

#include "protocol/ChatEvent.h"

namespace zarivok {

// An event as the parts of the bot hear it: what the server said (or the connection did), with
// what the bot's own state made of it. The state hears every event first, so every listener
// after it reads the channel as the event left it, and the same facts.
struct ChannelEvent : ChatEvent {
    explicit ChannelEvent(const ChatEvent& event) : ChatEvent(event) {}

    // A leave: whether the user list had the user (only then does the pane say they left).
    bool listed = false;
};

// A part that reacts to the events of the channel. The bot hands each event to its listeners in
// one fixed order (see Bot::Deliver); a listener may let events run, and a nested event then
// passes every listener before this one goes on.
class ChannelListener {
  public:
    virtual ~ChannelListener() = default;
    virtual void Hear(const ChannelEvent& event) = 0;
};

}  // namespace zarivok
