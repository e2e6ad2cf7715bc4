#pragma once

#include <QStringList>
#include <QtGlobal>

namespace zarivok {

class CommandText;

// Channel commands besides the built-in ones (channel protection's), run for a listed speaker
// after them. A set's words must be its own: a line runs at most one command.
class CommandSet {
  public:
    virtual ~CommandSet() = default;
    // Runs the command the line holds, if it is one of this set's. link: the connection a reply
    // belongs to (see Outgoing::SendChatText).
    virtual void RunCommand(const CommandText& line, quint64 link) = 0;
    // The words the set answers to, in lower case: nobody else may take them.
    virtual QStringList Words() const = 0;
};

}  // namespace zarivok
