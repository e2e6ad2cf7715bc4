#pragma once

#include <QString>

namespace zarivok {

class Bot;

// What the user list's popup menu does to the picked user (strList), and the two database
// changes that the channel commands share with it.
void BanUser(Bot& bot);
void KickUser(Bot& bot);
void DesignateUser(Bot& bot);
void SquelchUser(Bot& bot);
void UnsquelchUser(Bot& bot);
void AddPickedUserToDatabase(Bot& bot);
void RemovePickedUserFromDatabase(Bot& bot);
// The Send button: the input line's text, said or run as a command, and kept for Up and Down.
void SendInputLine(Bot& bot, const QString& text);
// The Whisper button: text to the picked user, kept for Up and Down.
void WhisperPickedUser(Bot& bot, const QString& text);

// Adds name to the user database, says so in the channel and saves. The two short pauses let
// events run, so other commands may run meanwhile.
void AddToDatabase(Bot& bot, QString name);
// Removes the first entry equal to name ignoring letter case, says so and saves; returns false
// (and says "Error: No such user, " and the name) when nobody matches.
bool RemoveFromDatabase(Bot& bot, QString name);

}  // namespace zarivok
