#include "commands/Moderation.h"

#include "base/PauseTicks.h"
#include "base/Texts.h"
#include "commands/UserDatabase.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "display/ChatOutput.h"

namespace zarivok {

Moderation::Moderation(const QString& picked, UserDatabase& users, Connection& connection,
                       Outgoing& outgoing, ChatOutput& output)
    : picked_(picked),
      users_(users),
      connection_(connection),
      outgoing_(outgoing),
      output_(output) {}

void Moderation::Say(const QString& text) { outgoing_.SendChatText(text); }

void Moderation::BanUser() { Say(QStringLiteral("/ban ") + picked_); }
void Moderation::KickUser() { Say(QStringLiteral("/kick ") + picked_); }
void Moderation::DesignateUser() { Say(QStringLiteral("/designate ") + picked_); }
void Moderation::SquelchUser() { Say(QStringLiteral("/squelch ") + picked_); }
void Moderation::UnsquelchUser() { Say(QStringLiteral("/unsquelch ") + picked_); }

void Moderation::AddPickedUserToDatabase() { AddToDatabase(picked_); }
void Moderation::RemovePickedUserFromDatabase() { RemoveFromDatabase(picked_); }

void Moderation::AddToDatabase(QString name) {
    // name is taken by value: strList may change while the pauses let events run. The reply goes
    // to the connection the action began on.
    const quint64 link = connection_.ReplyLink();
    PauseTicks(1);
    users_.Append(name);
    outgoing_.SendChatText(
        QStringLiteral("User ") + name + QStringLiteral(" has been added to database."), link);
    PauseTicks(1);
    SaveUserDatabase();
}

bool Moderation::RemoveFromDatabase(QString name) {
    // Nothing between the search and the removal lets events run, so the index is still right.
    const qsizetype index = users_.Find(name);
    if (index < 0) {
        Say(QStringLiteral("Error: No such user, ") + name);
        return false;
    }
    users_.RemoveUserAt(index);
    Say(QStringLiteral("User ") + name + QStringLiteral(" has been deleted."));
    SaveUserDatabase();
    return true;
}

void Moderation::SaveUserDatabase() {
    if (const auto problem = users_.Save()) output_.AppendChat(*problem + kCrLf, kRed);
}

}  // namespace zarivok
