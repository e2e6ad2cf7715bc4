#pragma once

#include <QString>

namespace zarivok {

class Bot;

// Keep the user list in step with the channel: who is there on entry, who joins, who leaves,
// whose flags change; with the count box, the caption, the status bar and, when switched on,
// join and leave notices in the chat pane.
void HandleUserEvent(Bot& bot, QStringView name, QStringView flags, QStringView product);
void HandleJoinEvent(Bot& bot, QStringView name, QStringView flags, QStringView product);
void HandleLeaveEvent(Bot& bot, QStringView name, QStringView flags);
void HandleChannelEvent(Bot& bot, QStringView channel);
void HandleFlagsEvent(Bot& bot, QStringView name, QStringView flags);

}  // namespace zarivok
