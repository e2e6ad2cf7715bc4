#pragma once

#include <QString>

namespace zarivok {

class Bot;

// Keep the user list in step with the channel: who is there on entry, who joins, who leaves,
// whose flags change; with the count box, the caption, the status bar and, when switched on,
// join and leave notices in the chat pane.
void HandleUserEvent(Bot& bot, const QString& name, const QString& flags, const QString& product);
void HandleJoinEvent(Bot& bot, const QString& name, const QString& flags, const QString& product);
void HandleLeaveEvent(Bot& bot, const QString& name, const QString& flags);
void HandleChannelEvent(Bot& bot, const QString& channel);
void HandleFlagsEvent(Bot& bot, const QString& name, const QString& flags);

}  // namespace zarivok
