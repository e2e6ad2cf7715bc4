#pragma once

#include <QString>

namespace zarivok {

class Bot;

// Everything the server says that is not about who is in the channel: each becomes one line of
// coloured text in the chat pane.
void HandleNonEventLine(Bot& bot, const QString& line);
void HandleWhisperFromEvent(Bot& bot, const QString& sender, const QString& flags,
                            const QString& message);
void HandleTalkEvent(Bot& bot, const QString& speaker, const QString& flags,
                     const QString& message);
void HandleBroadcastEvent(Bot& bot, const QString& message);
void HandleWhisperToEvent(Bot& bot, const QString& recipient, const QString& flags,
                          const QString& message);
void HandleChannelFullEvent(Bot& bot, const QString& channel);
void HandleChannelMissingEvent(Bot& bot, const QString& channel);
void HandleChannelRestrictedEvent(Bot& bot, const QString& channel);
void HandleInfoEvent(Bot& bot, const QString& message);
void HandleErrorEvent(Bot& bot, const QString& message);
void HandleEmoteEvent(Bot& bot, const QString& user, const QString& flags, const QString& message);
void HandleUniqueNameEvent(Bot& bot, const QString& name, const QString& message);

}  // namespace zarivok
