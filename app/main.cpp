#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

#include "commands/UserDatabase.h"
#include "core/Bot.h"
#include "core/ProfilePaths.h"
#include "core/Texts.h"
#include "terminal/HeadlessFrontEnd.h"
#include "ui/MainWindow.h"

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
    std::unique_ptr<QCoreApplication> app;
    if (desktop) {
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A chat bot for the Battle.net chat gateway: it logs in, sits in its home channel, shows "
        "the channel's traffic and answers the commands of its listed users. Without --headless "
        "it opens its window and connects when Bot > Connect is chosen."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption headless(
        QStringLiteral("headless"),
        QStringLiteral("Run without a window and connect at once: stdout is the chat pane (with "
                       "24-bit colour codes), stderr the status texts, and each line on stdin is "
                       "said in the channel."));
    const QCommandLineOption profile(
        QStringLiteral("profile"),
        QStringLiteral("Keep Config.ini, Users.txt, whisper.txt and the day logs in <dir>, "
                       "which becomes the working directory."),
        QStringLiteral("dir"));
    const QCommandLineOption noLog(
        QStringLiteral("no-log"),
        QStringLiteral("Keep no day log. Without it, everything the chat pane shows is also "
                       "appended, without colours, to logs/YYYY-MM-DD.log in the working "
                       "directory."));
    parser.addOption(headless);
    parser.addOption(profile);
    const QCommandLineOption noMaster(
        QStringLiteral("no-master"),
        QStringLiteral("Give the master account QuEnDaR no more rights than any unlisted name: "
                       "only the names in Users.txt command the bot."));
    parser.addOption(noLog);
    parser.addOption(noMaster);
    parser.process(*app);

    ProfilePaths paths =
        ProfilePaths::Default(QCoreApplication::applicationDirPath(), QDir::currentPath());
    if (parser.isSet(profile)) {
        const QDir folder(parser.value(profile));
        if (!folder.exists()) {
            std::fprintf(stderr, "zarivok: the profile folder %s does not exist\n",
                         qPrintable(parser.value(profile)));
            return 2;
        }
        const QString absolute = folder.absolutePath();
        QDir::setCurrent(absolute);
        paths = ProfilePaths::ForFolder(absolute);
    }
    if (parser.isSet(noLog)) paths.logsFolder.clear();

    const bool masterEnabled = !parser.isSet(noMaster);
    if (!desktop) {
        HeadlessFrontEnd frontEnd(paths, stdout, stderr, STDIN_FILENO);
        frontEnd.bot().UserList().SetMasterEnabled(masterEnabled);
        frontEnd.Start();
        return QCoreApplication::exec();
    }
    MainWindow window(paths);
    window.bot().UserList().SetMasterEnabled(masterEnabled);
    window.show();
    return QCoreApplication::exec();
}
