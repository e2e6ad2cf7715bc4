#include "protocol/ChatEvent.h"

#include <QString>

#include "protocol/EventLine.h"

namespace zarivok {
namespace {

struct Route {
    int code;
    EventKind kind;
    // The highest field number the kind takes (3 the user, 4 the flags, 5 the product tag); a
    // line with fewer fields is dropped.
    int fieldsNeeded;
};

// Tested in this order; the first code that matches decides.
constexpr Route kRoutes[] = {
    {1001, EventKind::kUser, 5},           {1002, EventKind::kJoin, 5},
    {1003, EventKind::kLeave, 4},          {1004, EventKind::kWhisperFrom, 4},
    {1005, EventKind::kTalk, 4},           {1006, EventKind::kBroadcast, 0},
    {1007, EventKind::kChannel, 0},        {1009, EventKind::kFlags, 4},
    {1010, EventKind::kWhisperTo, 4},      {1013, EventKind::kChannelFull, 0},
    {1014, EventKind::kChannelMissing, 0}, {1015, EventKind::kChannelRestricted, 0},
    {1016, EventKind::kInfo, 0},           {1018, EventKind::kInfo, 0},
    {1019, EventKind::kError, 0},          {1023, EventKind::kEmote, 4},
    {2010, EventKind::kUniqueName, 3},     {3000, EventKind::kInfo, 0},
};

bool IsLoginRefusal(QStringView line) {
    // The classic servers say "Login incorrect"; the ones running today say "Login failed.".
    return line.startsWith(QLatin1String("Login incorrect")) ||
           line.startsWith(QLatin1String("Login failed"));
}

}  // namespace

int FlagsValue(QStringView flags) {
    bool ok = false;
    const int value = flags.toInt(&ok, 16);
    return ok ? value : 0;
}

QStringView ProductCode(QStringView product) {
    if (product.startsWith(u'[')) product = product.sliced(1);
    if (product.endsWith(u']')) product.chop(1);
    return product;
}

std::optional<ChatEvent> ParseChatEvent(QStringView line, bool cut) {
    const EventLine parsed = ParseEventLine(line, cut);
    if (!parsed.isEvent) {
        if (!IsLoginRefusal(line)) return std::nullopt;
        return ChatEvent{EventKind::kLoginRefused, 0, {}, {}, {}, {}, line};
    }
    // The routes' codes are whole numbers in the range of event codes: a field 1 read as
    // anything else (a fraction, a number far out of range) matches none.
    if (!(parsed.code >= kFirstEventCode && parsed.code <= kLastEventCode)) return std::nullopt;
    const int code = static_cast<int>(parsed.code);
    if (code != parsed.code) return std::nullopt;
    for (const Route& route : kRoutes) {
        if (code != route.code) continue;
        if (parsed.fieldCount < route.fieldsNeeded) return std::nullopt;
        ChatEvent event{route.kind, route.code, {}, {}, {}, parsed.message, line};
        if (route.fieldsNeeded >= 3) event.user = parsed.Field(3);
        if (route.fieldsNeeded >= 4) event.flags = parsed.Field(4);
        if (route.fieldsNeeded >= 5) event.product = parsed.Field(5);
        return event;
    }
    return std::nullopt;
}

}  // namespace zarivok
