#include <dlfcn.h>
#include <unistd.h>

#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "CommandLine.h"
#include "bot/Bot.h"
#include "commands/UserDatabase.h"
#include "terminal/HeadlessFrontEnd.h"
#include "web/WebConsole.h"

using namespace zarivok;

namespace {

bool HasArgument(int argc, char** argv, std::initializer_list<const char*> names) {
    for (int i = 1; i < argc; ++i) {
        for (const char* name : names) {
            if (std::strcmp(argv[i], name) == 0) return true;
        }
    }
    return false;
}

// The window needs a display; asking Qt for one where there is none ends the program with an
// abort, so say what to do instead.
bool DisplayReachable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// The window is a module of its own, loaded only when the program opens a window.
int RunWindow(int argc, char** argv) {
    std::string tried;
    void* module = OpenModule("zarivok_window.so", &tried);
    const auto entry =
        module ? reinterpret_cast<int (*)(int, char**)>(::dlsym(module, "ZarivokWindowMain"))
               : nullptr;
    if (!entry) {
        std::fprintf(stderr,
                     "zarivok: the window cannot be opened, its module is missing or broken:%s\n"
                     "Start it with --headless to run without a window.\n",
                     tried.c_str());
        return 2;
    }
    return entry(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    // A closed stdout must not end the bot; writes to it then simply fail.
    std::signal(SIGPIPE, SIG_IGN);
    // Help, version and the headless bot need no display.
    const bool desktop = !HasArgument(
        argc, argv, {"--headless", "--help", "-h", "-?", "--help-all", "--version", "-v"});
    if (desktop && !DisplayReachable()) {
        std::fprintf(stderr,
                     "zarivok: there is no display to open the window on; start it with "
                     "--headless to run without one.\n");
        return 2;
    }
    if (desktop) return RunWindow(argc, argv);

    QCoreApplication app(argc, argv);
    const auto options = ReadCommandLine(app);
    if (!options) return 2;
    HeadlessFrontEnd frontEnd(options->paths, stdout, stderr, STDIN_FILENO);
    frontEnd.bot().UserList().SetMasterEnabled(options->masterEnabled);
    const auto console = OpenWebConsole(frontEnd.bot(), *options, stderr);
    StartScripts(frontEnd.bot(), *options);
    frontEnd.Start();
    return QCoreApplication::exec();
}
