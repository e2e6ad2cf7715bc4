#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "base/ProfilePaths.h"
#include "web/WebAddress.h"

class QCoreApplication;

namespace zarivok {

struct StartOptions {
    // Where the bot's files are.
    ProfilePaths paths;
    // --no-master: the master name has no more rights than any unlisted name.
    bool masterEnabled = true;
    // --web: where the web console listens; none when it is off.
    std::optional<WebAddress> web;
    // --no-scripts: the scripts folder is left alone.
    bool scriptsEnabled = true;
};

class Bot;
class WebConsole;

// Names the application and reads the command line, the same for the bot with and without its
// window: --help and --version answer and end the program here. Without --profile, a program run
// from the folder it was installed to keeps its files in the user's own profile folder (made,
// private, when missing); one run from anywhere else keeps them beside itself. Returns nothing
// (after saying why on stderr) when the profile folder named does not exist or cannot be made.
std::optional<StartOptions> ReadCommandLine(QCoreApplication& app);

// Loads one of the program's modules (the window, the scripts' engine): beside the program in
// the build tree, in its library folder once installed. Nothing, with the reasons in *tried,
// when neither place has one that loads.
void* OpenModule(const char* fileName, std::string* tried);

// Starts the scripts unless the command line said --no-scripts: they load now, before the first
// connect, and the engine's module is loaded with the first of them.
void StartScripts(Bot& bot, const StartOptions& options);

// Starts the web console when the command line asks for it; where it listens is also written to
// status, when given (the headless bot's standard error).
std::unique_ptr<WebConsole> OpenWebConsole(Bot& bot, const StartOptions& options,
                                           std::FILE* status);

}  // namespace zarivok
