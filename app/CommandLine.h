#pragma once

#include <optional>

#include "core/ProfilePaths.h"

class QCoreApplication;

namespace zarivok {

// Names the application and reads the command line, the same for the bot with and without its
// window: --help and --version answer and end the program here. Returns where the bot's files
// are, or nothing (after saying why on stderr) when the profile folder named does not exist.
std::optional<ProfilePaths> ReadCommandLine(QCoreApplication& app);

}  // namespace zarivok
