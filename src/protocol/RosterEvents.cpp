#include "protocol/RosterEvents.h"

#include <QStringBuilder>

#include "core/Bot.h"
#include "core/Texts.h"
#include "protection/ChannelGuard.h"
#include "protocol/ProductIcons.h"

namespace zarivok {
namespace {

void ShowUserCount(Bot& bot) {
    bot.SetUserCount(bot.CurrentChannel + QStringLiteral(" (") +
                     QString::number(bot.Roster().Count()) + u')');
}

bool NotificationsOn(const Bot& bot) { return bot.settings.intEnableNotifications == 1; }

void ListUser(Bot& bot, QStringView name, QStringView flags, QStringView product) {
    RosterModel& roster = bot.Roster();
    const int icon = GetProductIcon(product.toString(), flags.toString());
    qsizetype row = roster.FindProvisional(name);
    if (row >= 0) {
        roster.Replace(row, name.toString(), icon);
    } else {
        row = roster.Count();
        roster.Append(name.toString(), icon);
    }
    ShowUserCount(bot);
    // A 1 in the third place (no UDP support) marks the entry in yellow.
    if (flags.mid(2, 1) == u"1") roster.SetHighlighted(row, true);
}

}  // namespace

void HandleUserEvent(Bot& bot, QStringView name, QStringView flags, QStringView product) {
    ListUser(bot, name, flags, product);
    bot.Guard().UserShown(name, flags, /*joined=*/false);
}

void HandleJoinEvent(Bot& bot, QStringView name, QStringView flags, QStringView product) {
    ListUser(bot, name, flags, product);
    if (NotificationsOn(bot)) {
        bot.AppendChat(bot.TimeStamp(), kWhite,
                       QStringLiteral("-- ") % name %
                           QStringLiteral(" has joined the channel using ") % product % u'.' %
                           kCrLf,
                       kGreen);
    }
    bot.Guard().UserShown(name, flags, /*joined=*/true);
}

void HandleLeaveEvent(Bot& bot, QStringView name, QStringView /*flags*/) {
    RosterModel& roster = bot.Roster();
    // Whatever the list shows, the guard forgets the user: one who spoke unlisted counted too.
    bot.Guard().UserLeft(name);
    const qsizetype row = roster.FindIgnoringCase(name);
    if (row < 0) return;
    roster.RemoveAt(row);
    ShowUserCount(bot);
    if (!NotificationsOn(bot)) return;
    bot.AppendChat(bot.TimeStamp(), kWhite,
                   QStringLiteral("-- ") % name % QStringLiteral(" has left the channel.") % kCrLf,
                   kGreen);
}

void HandleChannelEvent(Bot& bot, QStringView channel) {
    bot.Roster().Clear();
    bot.Guard().ChannelEntered();
    bot.SetColumnHeader(channel.toString());
    bot.AppendChat(bot.TimeStamp() % QStringLiteral("Joined Channel: ") % channel % kCrLf, kGreen);
    bot.CurrentChannel = channel.toString();
    ShowUserCount(bot);
    bot.SetCaption(ProgramAndVersion() % QStringLiteral(" - User ") % bot.strName %
                   QStringLiteral(" in channel ") % channel % QStringLiteral(". "));
    bot.SetStatusPanel(2, QStringLiteral("User ") % bot.strName %
                              QStringLiteral(" using CHAT in channel ") % channel %
                              QStringLiteral(". "));
}

void HandleFlagsEvent(Bot& bot, QStringView name, QStringView flags) {
    RosterModel& roster = bot.Roster();
    bot.Guard().FlagsChanged(name, flags);
    const int icon = GetFlagsIcon(flags.toString());
    const qsizetype row = roster.FindExact(name);
    if (row < 0) {
        // The count box is left as it was; the user's own entry, which usually follows, puts
        // the right count there.
        roster.Append(name.toString(), icon, /*provisional=*/true);
        return;
    }
    // Plain flags replace only a red cross (a lifted squelch); any other icon stays.
    const bool plain = flags == u"0000" || flags == u"0010";
    if (plain && roster.At(row).icon != static_cast<int>(ChatIcon::RedCross)) return;
    roster.Replace(row, name.toString(), icon, roster.At(row).provisional);
}

}  // namespace zarivok
