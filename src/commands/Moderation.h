#pragma once

#include <QString>

namespace zarivok {

class ChatOutput;
class Connection;
class Outgoing;
class UserDatabase;

// What the user list's popup menu does to the picked user (strList), and the two database
// changes that the channel commands share with it.
class Moderation {
  public:
    // picked: the user last picked in the user list, read at each action.
    Moderation(const QString& picked, UserDatabase& users, Connection& connection,
               Outgoing& outgoing, ChatOutput& output);

    void BanUser();
    void KickUser();
    void DesignateUser();
    void SquelchUser();
    void UnsquelchUser();
    void AddPickedUserToDatabase();
    void RemovePickedUserFromDatabase();

    // Adds name to the user database, says so in the channel and saves. The two short pauses
    // let events run, so other commands may run meanwhile.
    void AddToDatabase(QString name);
    // Removes the first entry equal to name ignoring letter case, says so and saves; returns
    // false (and says "Error: No such user, " and the name) when nobody matches.
    bool RemoveFromDatabase(QString name);
    // Replaces Users.txt from memory; a failure is said in red in the chat pane.
    void SaveUserDatabase();

  private:
    void Say(const QString& text);

    const QString& picked_;
    UserDatabase& users_;
    Connection& connection_;
    Outgoing& outgoing_;
    ChatOutput& output_;
};

}  // namespace zarivok
