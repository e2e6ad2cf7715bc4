#pragma once

#include <QString>

namespace zarivok {

struct Settings;

// What the commands read and change of the bot beyond the parts they are given.
class CommandPort {
  public:
    virtual ~CommandPort() = default;

    // The channel the bot is in, as the rejoin command leaves and enters it again.
    virtual const QString& CurrentChannel() const = 0;
    virtual const Settings& settings() const = 0;
    // The settrigger command: in memory, until the next load of Config.ini.
    virtual void SetTrigger(const QString& trigger) = 0;
    // The quit command: the program ends at once.
    virtual void Quit() = 0;
};

}  // namespace zarivok
