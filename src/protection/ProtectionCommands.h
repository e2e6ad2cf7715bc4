#pragma once

#include <QString>

#include "commands/CommandSet.h"

namespace zarivok {

class ChannelGuard;
class Outgoing;
class ProtectionRules;

// Channel protection's commands for listed users: each changes and saves its file, then answers
// in the channel on the connection the command came on. A failed save is a red line; the change
// still holds in memory.
class ProtectionCommands : public CommandSet {
  public:
    ProtectionCommands(ChannelGuard& guard, ProtectionRules& rules, Outgoing& outgoing);

    void RunCommand(const CommandText& line, quint64 link) override;
    QStringList Words() const override;

  private:
    void SetLockdown(bool on, quint64 link);
    void AddBan(const QString& argument, quint64 link);
    void RemoveBan(const QString& argument, quint64 link);
    void AddPhrase(const QString& phrase, quint64 link);
    void RemovePhrase(const QString& phrase, quint64 link);
    void Reply(const QString& text, quint64 link);

    ChannelGuard& guard_;
    ProtectionRules& rules_;
    Outgoing& outgoing_;
};

}  // namespace zarivok
