#pragma once

#include <QList>
#include <QStringView>

#include "channel/ChannelEvent.h"

namespace zarivok {

class CommandPort;
class CommandSet;
class Connection;
class Moderation;
class Outgoing;
class UserDatabase;

// Runs the command that a listed user (or the master name) typed in the channel behind the
// trigger. Everybody else gets no answer of any kind. At most one command runs per line.
class CommandInterpreter : public ChannelListener {
  public:
    CommandInterpreter(CommandPort& port, UserDatabase& users, Moderation& moderation,
                       Connection& connection, Outgoing& outgoing);

    // Channel talk is heard for commands; nothing else is.
    void Hear(const ChannelEvent& event) override;
    void HandleCommand(QStringView speaker, QStringView text);

    // Further commands, run after the built-in ones, in the order they were added.
    void AddCommands(CommandSet* commands) { sets_.append(commands); }
    // Whether word (in any letter case) is a command of the bot's own: the fourteen or one of a
    // set added. Nothing else may answer to it.
    bool IsBuiltInWord(QStringView word) const;

  private:
    QString ServerAddressText() const;

    CommandPort& port_;
    UserDatabase& users_;
    Moderation& moderation_;
    Connection& connection_;
    Outgoing& outgoing_;
    QList<CommandSet*> sets_;
};

}  // namespace zarivok
