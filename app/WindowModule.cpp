// The bot with its window, built as a module that the program loads only when it opens one: the
// headless bot then neither loads Qt Widgets, Qt Gui and the graphics libraries under them nor
// keeps their pages in memory.
#include <QApplication>

#include "CommandLine.h"
#include "bot/Bot.h"
#include "commands/UserDatabase.h"
#include "ui/MainWindow.h"
#include "web/WebConsole.h"

extern "C" __attribute__((visibility("default"))) int ZarivokWindowMain(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto options = zarivok::ReadCommandLine(app);
    if (!options) return 2;
    zarivok::MainWindow window(options->paths);
    window.bot().UserList().SetMasterEnabled(options->masterEnabled);
    const auto console = zarivok::OpenWebConsole(window.bot(), *options, nullptr);
    zarivok::StartScripts(window.bot(), *options);
    window.show();
    return QApplication::exec();
}
