#include "protocol/EventDispatcher.h"

#include "protocol/EventLine.h"
#include "protocol/MessageEvents.h"
#include "protocol/RosterEvents.h"

namespace zarivok {
namespace {

struct Route {
    int code;
    // The highest field number the handler takes; a shorter line is dropped.
    int fieldsNeeded;
    void (*handle)(Bot&, const EventLine&);
};

// Field numbers count from 1: 3 is the user, 4 the flags, 5 the product tag.
constexpr Route kRoutes[] = {
    {1001, 5,
     [](Bot& b, const EventLine& e) { HandleUserEvent(b, e.Field(3), e.Field(4), e.Field(5)); }},
    {1002, 5,
     [](Bot& b, const EventLine& e) { HandleJoinEvent(b, e.Field(3), e.Field(4), e.Field(5)); }},
    {1003, 4, [](Bot& b, const EventLine& e) { HandleLeaveEvent(b, e.Field(3), e.Field(4)); }},
    {1004, 4,
     [](Bot& b, const EventLine& e) {
         HandleWhisperFromEvent(b, e.Field(3), e.Field(4), e.message);
     }},
    {1005, 4,
     [](Bot& b, const EventLine& e) { HandleTalkEvent(b, e.Field(3), e.Field(4), e.message); }},
    {1006, 0, [](Bot& b, const EventLine& e) { HandleBroadcastEvent(b, e.message); }},
    {1007, 0, [](Bot& b, const EventLine& e) { HandleChannelEvent(b, e.message); }},
    {1009, 4, [](Bot& b, const EventLine& e) { HandleFlagsEvent(b, e.Field(3), e.Field(4)); }},
    {1010, 4,
     [](Bot& b, const EventLine& e) {
         HandleWhisperToEvent(b, e.Field(3), e.Field(4), e.message);
     }},
    {1013, 0, [](Bot& b, const EventLine& e) { HandleChannelFullEvent(b, e.message); }},
    {1014, 0, [](Bot& b, const EventLine& e) { HandleChannelMissingEvent(b, e.message); }},
    {1015, 0, [](Bot& b, const EventLine& e) { HandleChannelRestrictedEvent(b, e.message); }},
    {1016, 0, [](Bot& b, const EventLine& e) { HandleInfoEvent(b, e.message); }},
    {1018, 0, [](Bot& b, const EventLine& e) { HandleInfoEvent(b, e.message); }},
    {1019, 0, [](Bot& b, const EventLine& e) { HandleErrorEvent(b, e.message); }},
    {1023, 4,
     [](Bot& b, const EventLine& e) { HandleEmoteEvent(b, e.Field(3), e.Field(4), e.message); }},
    {2010, 3, [](Bot& b, const EventLine& e) { HandleUniqueNameEvent(b, e.Field(3), e.message); }},
    {3000, 0, [](Bot& b, const EventLine& e) { HandleInfoEvent(b, e.message); }},
};

}  // namespace

void DispatchEventLine(Bot& bot, QStringView line, bool cut) {
    const EventLine event = ParseEventLine(line, cut);
    if (!event.isEvent) {
        HandleNonEventLine(bot, line);
        return;
    }
    for (const Route& route : kRoutes) {
        if (event.code != route.code) continue;
        if (event.fieldCount >= route.fieldsNeeded) route.handle(bot, event);
        return;
    }
}

}  // namespace zarivok
