#pragma once

#include <QStringView>
#include <optional>

namespace zarivok {

// What happened on the chat connection: one kind per event code the bot reacts to (several codes
// may share one), the server's plain login refusal, and three that no line carries: the
// connection's own two, and the channel left, which entering another implies.
enum class EventKind {
    kUser,               // 1001, a user listed at channel entry: user, flags, product
    kJoin,               // 1002: user, flags, product
    kLeave,              // 1003: user, flags
    kWhisperFrom,        // 1004: user (the sender), flags, text
    kTalk,               // 1005: user, flags, text
    kBroadcast,          // 1006: text
    kChannel,            // 1007, the bot entered a channel: text (its name)
    kFlags,              // 1009: user, flags
    kWhisperTo,          // 1010: user (the recipient), flags, text
    kChannelFull,        // 1013: text (the channel's name)
    kChannelMissing,     // 1014: text (the channel's name)
    kChannelRestricted,  // 1015: text (the channel's name)
    kInfo,               // 1016, 1018, 3000: text
    kError,              // 1019: text
    kEmote,              // 1023: user, flags, text
    kUniqueName,         // 2010, the logon: user (the bot's own name as the server confirms it)
    kLoginRefused,       // a plain line starting "Login incorrect" or "Login failed"
    kChannelLeft,        // before each kChannel: the channel the bot was in: text (its name)
    kConnected,          // the connection is open and the login handshake has gone out
    kClosed,             // a connection that had opened ended, for any reason
};

// One event. The texts are views into the line it was parsed from and are valid as long as that
// line is: a busy channel parses every line, and nothing of most lines is kept. A field that the
// kind does not carry is empty; text is the quoted message of every event line.
struct ChatEvent {
    EventKind kind = EventKind::kInfo;
    // The event code the line carried; 0 for a plain line and for the connection's events.
    int code = 0;
    QStringView user;
    // As the server sends them: hexadecimal digits, compared as text.
    QStringView flags;
    // The product tag with its brackets, as the server sends it ("[CHAT]").
    QStringView product;
    QStringView text;
    // The whole line as received, without its line end; empty for the connection's events.
    QStringView line;
};

// Flags as a number: the server writes them in hexadecimal; anything unreadable counts as none.
int FlagsValue(QStringView flags);

// A product tag without its brackets: "[CHAT]" is "CHAT".
QStringView ProductCode(QStringView product);

// The event a received line stands for. Nothing for a line of no interest: a plain line other
// than the login refusal, a code the bot does not react to (1008, 2000...), or a line that lacks
// a field its kind carries (a talk line without flags, a 1001 without a product tag). cut: the
// server cut the line short (see ParseEventLine).
std::optional<ChatEvent> ParseChatEvent(QStringView line, bool cut = false);

}  // namespace zarivok
