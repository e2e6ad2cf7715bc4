#pragma once

#include <QString>

namespace zarivok {

class Bot;

// Everything the server says that is not about who is in the channel: each becomes one line of
// coloured text in the chat pane.
void HandleNonEventLine(Bot& bot, QStringView line);
void HandleWhisperFromEvent(Bot& bot, QStringView sender, QStringView flags, QStringView message);
void HandleTalkEvent(Bot& bot, QStringView speaker, QStringView flags, QStringView message);
void HandleBroadcastEvent(Bot& bot, QStringView message);
void HandleWhisperToEvent(Bot& bot, QStringView recipient, QStringView flags, QStringView message);
void HandleChannelFullEvent(Bot& bot, QStringView channel);
void HandleChannelMissingEvent(Bot& bot, QStringView channel);
void HandleChannelRestrictedEvent(Bot& bot, QStringView channel);
void HandleInfoEvent(Bot& bot, QStringView message);
void HandleErrorEvent(Bot& bot, QStringView message);
void HandleEmoteEvent(Bot& bot, QStringView user, QStringView flags, QStringView message);
void HandleUniqueNameEvent(Bot& bot, QStringView name, QStringView message);

}  // namespace zarivok
