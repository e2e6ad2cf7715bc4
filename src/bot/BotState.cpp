// The bot's own state as the events of the channel change it: the user list with its count box,
// the bot's name, the channel it is in, the caption and the status bar. This is the first stop of
// every event, so the parts that hear it next see the channel as the event left it.
#include <QStringBuilder>

#include "base/Texts.h"
#include "bot/Bot.h"
#include "channel/ProductIcons.h"

namespace zarivok {

bool Bot::ApplyToState(const ChatEvent& event) {
    switch (event.kind) {
        case EventKind::kUser:
        case EventKind::kJoin:
            ListUser(event.user, event.flags, event.product);
            return false;
        case EventKind::kLeave: {
            const qsizetype row = roster_.FindIgnoringCase(event.user);
            if (row < 0) return false;
            roster_.RemoveAt(row);
            ShowUserCount();
            return true;
        }
        case EventKind::kChannelLeft:
            roster_.Clear();
            return false;
        case EventKind::kChannel:
            EnterChannel(event.text);
            return false;
        case EventKind::kFlags: {
            const int icon = GetFlagsIcon(event.flags.toString());
            const qsizetype row = roster_.FindExact(event.user);
            if (row < 0) {
                // The count box is left as it was; the user's own entry, which usually follows,
                // puts the right count there.
                roster_.Append(event.user.toString(), icon, /*provisional=*/true);
                roster_.SetFlags(roster_.Count() - 1, FlagsValue(event.flags));
                return false;
            }
            roster_.SetFlags(row, FlagsValue(event.flags));
            // Plain flags replace only a red cross (a lifted squelch); any other icon stays.
            const bool plain = event.flags == u"0000" || event.flags == u"0010";
            if (plain && roster_.At(row).icon != static_cast<int>(ChatIcon::RedCross)) {
                return false;
            }
            roster_.Replace(row, event.user.toString(), icon, roster_.At(row).provisional);
            return false;
        }
        case EventKind::kUniqueName:
            LoggedOn(event.user);
            return false;
        default:
            return false;
    }
}

void Bot::ShowUserCount() {
    SetUserCount(CurrentChannel_ + QStringLiteral(" (") + QString::number(roster_.Count()) + u')');
}

void Bot::ListUser(QStringView name, QStringView flags, QStringView product) {
    const int icon = GetProductIcon(product.toString(), flags.toString());
    qsizetype row = roster_.FindProvisional(name);
    if (row >= 0) {
        roster_.Replace(row, name.toString(), icon);
    } else {
        row = roster_.Count();
        roster_.Append(name.toString(), icon);
    }
    roster_.SetFlags(row, FlagsValue(flags));
    roster_.SetProduct(row, ProductCode(product));
    ShowUserCount();
    // A 1 in the third place (no UDP support) marks the entry in yellow.
    if (flags.mid(2, 1) == u"1") roster_.SetHighlighted(row, true);
}

void Bot::EnterChannel(QStringView channel) {
    SetColumnHeader(channel.toString());
    CurrentChannel_ = channel.toString();
    ShowUserCount();
    SetCaption(ProgramAndVersion() % QStringLiteral(" - User ") % strName_ %
               QStringLiteral(" in channel ") % channel % QStringLiteral(". "));
    SetStatusPanel(2, QStringLiteral("User ") % strName_ %
                          QStringLiteral(" using CHAT in channel ") % channel %
                          QStringLiteral(". "));
}

void Bot::LoggedOn(QStringView name) {
    // The list is read anew at every logon, letting events run as it reads: a line that arrives
    // meanwhile is handled with the new list, before the logon's own line is shown.
    LoadUserDatabase();
    SetCaption(ProgramAndVersion() % QStringLiteral(" - ") % name);
    strName_ = name.toString();
}

}  // namespace zarivok
