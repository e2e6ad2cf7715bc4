#include "protocol/MessageEvents.h"

#include "commands/CommandInterpreter.h"
#include "core/Bot.h"
#include "core/Texts.h"

namespace zarivok {
void HandleNonEventLine(Bot& bot, const QString& line) {
    // The classic servers say "Login incorrect"; the ones running today say "Login failed.".
    if (line.startsWith(QLatin1String("Login incorrect")) ||
        line.startsWith(QLatin1String("Login failed"))) {
        bot.AppendChat(QStringLiteral("Your Login is Incorrect") + kCrLf, kRed);
    }
}

void HandleWhisperFromEvent(Bot& bot, const QString& sender, const QString& /*flags*/,
                            const QString& message) {
    const QString prefix = QStringLiteral("<From: ") + sender + QStringLiteral("> ");
    bot.AppendChat(bot.TimeStamp() + prefix, kYellow, message + kCrLf, kGrey);
    bot.AppendWhisper(bot.TimeStamp() + prefix, kYellow, message + kCrLf, kGrey);
}

void HandleTalkEvent(Bot& bot, const QString& speaker, const QString& flags,
                     const QString& message) {
    // The flags as the server sends them: a 2 in the fourth place (channel operator) shows the
    // whole line white, a 1 there (server administrator) cyan.
    ChatColour nameColour = kYellow;
    ChatColour textColour = kWhite;
    if (QStringView(flags).mid(3, 2) == u"2") {
        nameColour = kWhite;
    } else if (QStringView(flags).mid(3, 1) == u"1") {
        nameColour = textColour = kCyan;
    }
    bot.AppendChat(bot.TimeStamp() + u'<' + speaker + QStringLiteral("> "), nameColour,
                   message + kCrLf, textColour);
    HandleCommand(bot, speaker, message);
}

void HandleBroadcastEvent(Bot& bot, const QString& message) {
    bot.AppendChat(bot.TimeStamp() + message + kCrLf, kRed);
}

void HandleWhisperToEvent(Bot& bot, const QString& recipient, const QString& /*flags*/,
                          const QString& message) {
    bot.AppendChat(bot.TimeStamp() + QStringLiteral("<To: ") + recipient + QStringLiteral("> "),
                   kCyan, message + kCrLf, kGrey);
}

void HandleChannelFullEvent(Bot& bot, const QString& channel) {
    bot.AppendChat(
        bot.TimeStamp() + QStringLiteral("Channel ") + channel + QStringLiteral(" is full") + kCrLf,
        kGreen);
}

void HandleChannelMissingEvent(Bot& bot, const QString& channel) {
    bot.AppendChat(bot.TimeStamp() + QStringLiteral("Channel ") + channel +
                       QStringLiteral(" does not exist") + kCrLf,
                   kGreen);
}

void HandleChannelRestrictedEvent(Bot& bot, const QString& channel) {
    bot.AppendChat(bot.TimeStamp() + QStringLiteral("Channel ") + channel +
                       QStringLiteral(" is restricted") + kCrLf,
                   kGreen);
}

void HandleInfoEvent(Bot& bot, const QString& message) {
    bot.AppendChat(bot.TimeStamp() + message + kCrLf, kYellow);
}

void HandleErrorEvent(Bot& bot, const QString& message) {
    bot.AppendChat(bot.TimeStamp() + message + kCrLf, kRed);
}

void HandleEmoteEvent(Bot& bot, const QString& user, const QString& /*flags*/,
                      const QString& message) {
    bot.AppendChat(bot.TimeStamp() + u'<' + user + u' ' + message + u'>' + kCrLf, kYellow);
}

void HandleUniqueNameEvent(Bot& bot, const QString& name, const QString& /*message*/) {
    bot.LoadUserDatabase();
    bot.SetCaption(ProgramAndVersion() + QStringLiteral(" - ") + name);
    bot.strName = name;
    bot.AppendChat(QStringLiteral("Successfully logged in as ") + name + kCrLf, kGreen);
}

}  // namespace zarivok
