#include "scripts/ScriptEvent.h"

#include <utility>

namespace zarivok {

std::optional<ScriptEvent> ScriptEventNamed(const QString& name) {
    static const std::pair<const char*, ScriptEvent> kNames[] = {
        {"talk", ScriptEvent::kTalk},
        {"emote", ScriptEvent::kEmote},
        {"whisper", ScriptEvent::kWhisper},
        {"join", ScriptEvent::kJoin},
        {"leave", ScriptEvent::kLeave},
        {"flags", ScriptEvent::kFlags},
        {"channel", ScriptEvent::kChannel},
        {"info", ScriptEvent::kInfo},
        {"error", ScriptEvent::kError},
        {"connected", ScriptEvent::kConnected},
        {"disconnected", ScriptEvent::kDisconnected},
    };
    for (const auto& [text, event] : kNames) {
        if (name == QLatin1String(text)) return event;
    }
    return std::nullopt;
}

}  // namespace zarivok
