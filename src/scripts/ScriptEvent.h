#pragma once

#include <QString>
#include <optional>

namespace zarivok {

// The events a script's handlers hear (bot.on), and their arguments.
enum class ScriptEvent {
    kTalk,          // user, text, flags
    kEmote,         // user, text, flags
    kWhisper,       // user, text: a whisper received
    kJoin,          // user, flags, product
    kLeave,         // user
    kFlags,         // user, flags
    kChannel,       // name: the bot entered a channel
    kInfo,          // text
    kError,         // text
    kConnected,     // the bot's own name, once logged in
    kDisconnected,  // (none): a logged-in connection ended
};
inline constexpr int kScriptEventCount = 11;

// The event a script names ("talk"), exactly as written; nothing for an unknown name.
std::optional<ScriptEvent> ScriptEventNamed(const QString& name);

}  // namespace zarivok
