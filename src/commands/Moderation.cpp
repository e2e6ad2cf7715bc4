#include "commands/Moderation.h"

#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "core/Bot.h"
#include "core/PauseTicks.h"

namespace zarivok {
namespace {

void Say(Bot& bot, const QString& text) { bot.GetOutgoing().SendChatText(text); }

// For the database changes, which pause: the reply goes to the connection the action began on.
void Reply(Bot& bot, const QString& text, quint64 link) {
    bot.GetOutgoing().SendChatText(text, link);
}

}  // namespace

void BanUser(Bot& bot) { Say(bot, QStringLiteral("/ban ") + bot.strList); }
void KickUser(Bot& bot) { Say(bot, QStringLiteral("/kick ") + bot.strList); }
void DesignateUser(Bot& bot) { Say(bot, QStringLiteral("/designate ") + bot.strList); }
void SquelchUser(Bot& bot) { Say(bot, QStringLiteral("/squelch ") + bot.strList); }
void UnsquelchUser(Bot& bot) { Say(bot, QStringLiteral("/unsquelch ") + bot.strList); }

void AddPickedUserToDatabase(Bot& bot) { AddToDatabase(bot, bot.strList); }
void RemovePickedUserFromDatabase(Bot& bot) { RemoveFromDatabase(bot, bot.strList); }

void AddToDatabase(Bot& bot, QString name) {
    // name is taken by value: strList may change while the pauses let events run.
    const quint64 link = bot.GetConnection().ReplyLink();
    PauseTicks(1);
    bot.UserList().Append(name);
    Reply(bot, QStringLiteral("User ") + name + QStringLiteral(" has been added to database."),
          link);
    PauseTicks(1);
    bot.SaveUserDatabase();
}

bool RemoveFromDatabase(Bot& bot, QString name) {
    // Nothing between the search and the removal lets events run, so the index is still right.
    const qsizetype index = bot.UserList().Find(name);
    if (index < 0) {
        Say(bot, QStringLiteral("Error: No such user, ") + name);
        return false;
    }
    bot.UserList().RemoveUserAt(index);
    Say(bot, QStringLiteral("User ") + name + QStringLiteral(" has been deleted."));
    bot.SaveUserDatabase();
    return true;
}

void SendInputLine(Bot& bot, const QString& text) {
    bot.History().Add(text);
    bot.GetOutgoing().Send(text);
}

void WhisperPickedUser(Bot& bot, const QString& text) {
    bot.History().Add(text);
    bot.GetOutgoing().SendChatText(QStringLiteral("/w ") + bot.strList + u' ' + text);
}

}  // namespace zarivok
