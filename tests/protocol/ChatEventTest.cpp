#include <gtest/gtest.h>

#include <QString>
#include <optional>

#include "protocol/ChatEvent.h"

namespace zarivok {
namespace {

// An event written out as text, so that a table row reads like what the server meant.
std::string Describe(const std::optional<ChatEvent>& event) {
    if (!event) return "nothing";
    return QStringLiteral("%1 %2 user=%3 flags=%4 product=%5 text=%6")
        .arg(static_cast<int>(event->kind))
        .arg(event->code)
        .arg(event->user, event->flags, event->product, event->text)
        .toStdString();
}

std::string Expect(EventKind kind, int code, const char* user, const char* flags,
                   const char* product, const char* text) {
    ChatEvent event;
    event.kind = kind;
    event.code = code;
    const QString u = QString::fromUtf8(user), f = QString::fromUtf8(flags),
                  p = QString::fromUtf8(product), t = QString::fromUtf8(text);
    event.user = u;
    event.flags = f;
    event.product = p;
    event.text = t;
    return Describe(event);
}

TEST(ChatEventTest, EachCodeBecomesItsKindWithTheFieldsItCarries) {
    using K = EventKind;
    const struct Case {
        const char* line;
        std::string expected;
    } cases[] = {
        {"1001 USER bob 0010 [CHAT]", Expect(K::kUser, 1001, "bob", "0010", "[CHAT]", "")},
        {"1002 JOIN bob 0010 [STAR] extra", Expect(K::kJoin, 1002, "bob", "0010", "[STAR]", "")},
        {"1003 LEAVE bob 0010", Expect(K::kLeave, 1003, "bob", "0010", "", "")},
        {"1004 WHISPER alice 0001 \"psst\"",
         Expect(K::kWhisperFrom, 1004, "alice", "0001", "", "psst")},
        {"1005 TALK bob 0010 \"hi\"", Expect(K::kTalk, 1005, "bob", "0010", "", "hi")},
        {"1006 BROADCAST \"hello\"", Expect(K::kBroadcast, 1006, "", "", "", "hello")},
        {"1007 CHANNEL \"Lobby\"", Expect(K::kChannel, 1007, "", "", "", "Lobby")},
        {"1009 USER bob 0012", Expect(K::kFlags, 1009, "bob", "0012", "", "")},
        {"1010 WHISPER bob 0000 \"out\"", Expect(K::kWhisperTo, 1010, "bob", "0000", "", "out")},
        {"1013 CHANNELFULL \"Tiny\"", Expect(K::kChannelFull, 1013, "", "", "", "Tiny")},
        {"1014 CHANNELDOESNOTEXIST \"No\"", Expect(K::kChannelMissing, 1014, "", "", "", "No")},
        {"1015 CHANNELRESTRICTED \"Ops\"", Expect(K::kChannelRestricted, 1015, "", "", "", "Ops")},
        {"1016 INFO \"a\"", Expect(K::kInfo, 1016, "", "", "", "a")},
        {"1018 INFO \"b\"", Expect(K::kInfo, 1018, "", "", "", "b")},
        {"3000 INFO \"c\"", Expect(K::kInfo, 3000, "", "", "", "c")},
        {"1019 ERROR \"bad\"", Expect(K::kError, 1019, "", "", "", "bad")},
        {"1023 EMOTE bob 0010 \"waves\"", Expect(K::kEmote, 1023, "bob", "0010", "", "waves")},
        {"2010 NAME bot1", Expect(K::kUniqueName, 2010, "bot1", "", "", "")},
        {"Login incorrect.", Expect(K::kLoginRefused, 0, "", "", "", "")},
        {"Login failed.", Expect(K::kLoginRefused, 0, "", "", "", "")},
        // How the line is taken apart.
        {"1005   TALK  bob   0010  \"hi\"", Expect(K::kTalk, 1005, "bob", "0010", "", "hi")},
        {"1005 TALK bob 0010 \"he said \"hi\" ok\"",
         Expect(K::kTalk, 1005, "bob", "0010", "", "he said \"hi\" ok")},
        {"1019 ERROR \"", Expect(K::kError, 1019, "", "", "", "")},
        // Lines of no interest.
        {"1005 TALK bob \"hi\"", "nothing"},
        {"1001 USER bob 0010", "nothing"},
        {"2010 NAME", "nothing"},
        {"1008 X \"x\"", "nothing"},
        {"2000 X \"x\"", "nothing"},
        {"0999 X \"x\"", "nothing"},
        {"3001 X \"x\"", "nothing"},
        {"login incorrect.", "nothing"},
        {"Password: ", "nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const QString line = QString::fromUtf8(c.line);
        const std::optional<ChatEvent> event = ParseChatEvent(line);
        EXPECT_EQ(Describe(event), c.expected);
        if (event) {
            EXPECT_EQ(event->line, line);
        }
    }
}

// A line the server cut short has no closing quote: its text keeps its last character, while a
// quote that happens to end it is still taken as the closing one.
TEST(ChatEventTest, ACutLineKeepsItsLastCharacter) {
    const QString cut = QStringLiteral("1005 TALK bob 0010 \"abcdef");
    EXPECT_EQ(ParseChatEvent(cut, /*cut=*/true)->text, QStringLiteral("abcdef"));
    EXPECT_EQ(ParseChatEvent(cut, /*cut=*/false)->text, QStringLiteral("abcde"));
    const QString quoted = QStringLiteral("1005 TALK bob 0010 \"abc\"");
    EXPECT_EQ(ParseChatEvent(quoted, /*cut=*/true)->text, QStringLiteral("abc"));
}

}  // namespace
}  // namespace zarivok
