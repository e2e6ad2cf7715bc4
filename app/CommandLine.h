#pragma once

#include <optional>

#include "core/ProfilePaths.h"

class QCoreApplication;

namespace zarivok {

struct StartOptions {
    // Where the bot's files are.
    ProfilePaths paths;
    // --no-master: the master name has no more rights than any unlisted name.
    bool masterEnabled = true;
};

// Names the application and reads the command line, the same for the bot with and without its
// window: --help and --version answer and end the program here. Returns nothing (after saying
// why on stderr) when the profile folder named does not exist.
std::optional<StartOptions> ReadCommandLine(QCoreApplication& app);

}  // namespace zarivok
