#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <csignal>
#include <cstdio>

#include "core/ProfilePaths.h"
#include "core/Texts.h"
#include "terminal/HeadlessFrontEnd.h"

using namespace zarivok;

int main(int argc, char** argv) {
    // A closed stdout must not end the bot; writes to it then simply fail.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A chat bot for the Battle.net chat gateway: it logs in, sits in its home channel, shows "
        "the channel's traffic and answers the commands of its listed users."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption headless(
        QStringLiteral("headless"),
        QStringLiteral("Run without a window: stdout is the chat pane (with 24-bit colour codes), "
                       "stderr the status texts, and each line on stdin is said in the channel."));
    const QCommandLineOption profile(
        QStringLiteral("profile"),
        QStringLiteral("Keep Config.ini, Users.txt and whisper.txt in <dir>, which becomes the "
                       "working directory."),
        QStringLiteral("dir"));
    parser.addOption(headless);
    parser.addOption(profile);
    parser.process(app);

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
    if (!parser.isSet(headless)) {
        std::fprintf(stderr, "zarivok: this build has no window yet; running headless.\n");
    }

    HeadlessFrontEnd frontEnd(paths, stdout, stderr, STDIN_FILENO);
    frontEnd.Start();
    return app.exec();
}
