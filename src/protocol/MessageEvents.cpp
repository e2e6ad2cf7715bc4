#include "protocol/MessageEvents.h"

#include <QStringBuilder>

#include "commands/CommandInterpreter.h"
#include "core/Bot.h"
#include "core/Texts.h"
#include "protection/ChannelGuard.h"

namespace zarivok {
void HandleNonEventLine(Bot& bot, QStringView line) {
    // The classic servers say "Login incorrect"; the ones running today say "Login failed.".
    if (line.startsWith(QLatin1String("Login incorrect")) ||
        line.startsWith(QLatin1String("Login failed"))) {
        bot.AppendChat(QStringLiteral("Your Login is Incorrect") + kCrLf, kRed);
    }
}

void HandleWhisperFromEvent(Bot& bot, QStringView sender, QStringView /*flags*/,
                            QStringView message) {
    const QString prefix = QStringLiteral("<From: ") % sender % QStringLiteral("> ");
    const QString text = message % kCrLf;
    bot.AppendChat(bot.TimeStamp() + prefix, kYellow, text, kGrey);
    bot.AppendWhisper(bot.TimeStamp() + prefix, kYellow, text, kGrey);
    bot.AlertWhisper(sender, message);
}

void HandleTalkEvent(Bot& bot, QStringView speaker, QStringView flags, QStringView message) {
    // The flags as the server sends them: a 2 in the fourth place (channel operator) shows the
    // whole line white, a 1 there (server administrator) cyan.
    ChatColour nameColour = kYellow;
    ChatColour textColour = kWhite;
    if (flags.mid(3, 2) == u"2") {
        nameColour = kWhite;
    } else if (flags.mid(3, 1) == u"1") {
        nameColour = textColour = kCyan;
    }
    bot.AppendChat(bot.TimeStamp() % u'<' % speaker % QStringLiteral("> "), nameColour,
                   message % kCrLf, textColour);
    bot.AlertIfNamed(speaker, message);
    bot.Guard().UserSpoke(speaker, flags, message);
    HandleCommand(bot, speaker, message);
}

void HandleBroadcastEvent(Bot& bot, QStringView message) {
    bot.AppendChat(bot.TimeStamp() % message % kCrLf, kRed);
}

void HandleWhisperToEvent(Bot& bot, QStringView recipient, QStringView /*flags*/,
                          QStringView message) {
    bot.AppendChat(bot.TimeStamp() % QStringLiteral("<To: ") % recipient % QStringLiteral("> "),
                   kCyan, message % kCrLf, kGrey);
}

void HandleChannelFullEvent(Bot& bot, QStringView channel) {
    bot.AppendChat(
        bot.TimeStamp() % QStringLiteral("Channel ") % channel % QStringLiteral(" is full") % kCrLf,
        kGreen);
}

void HandleChannelMissingEvent(Bot& bot, QStringView channel) {
    bot.AppendChat(bot.TimeStamp() % QStringLiteral("Channel ") % channel %
                       QStringLiteral(" does not exist") % kCrLf,
                   kGreen);
}

void HandleChannelRestrictedEvent(Bot& bot, QStringView channel) {
    bot.AppendChat(bot.TimeStamp() % QStringLiteral("Channel ") % channel %
                       QStringLiteral(" is restricted") % kCrLf,
                   kGreen);
}

void HandleInfoEvent(Bot& bot, QStringView message) {
    bot.AppendChat(bot.TimeStamp() % message % kCrLf, kYellow);
}

void HandleErrorEvent(Bot& bot, QStringView message) {
    bot.AppendChat(bot.TimeStamp() % message % kCrLf, kRed);
    bot.Guard().ErrorShown(message);
}

void HandleEmoteEvent(Bot& bot, QStringView user, QStringView flags, QStringView message) {
    bot.AppendChat(bot.TimeStamp() % u'<' % user % u' ' % message % u'>' % kCrLf, kYellow);
    bot.AlertIfNamed(user, message);
    bot.Guard().UserSpoke(user, flags, message);
}

void HandleUniqueNameEvent(Bot& bot, QStringView name, QStringView /*message*/) {
    bot.LoadUserDatabase();
    bot.SetCaption(ProgramAndVersion() % QStringLiteral(" - ") % name);
    bot.strName = name.toString();
    bot.AppendChat(QStringLiteral("Successfully logged in as ") % name % kCrLf, kGreen);
}

}  // namespace zarivok
