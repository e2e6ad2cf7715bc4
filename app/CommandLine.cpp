#include "CommandLine.h"

#include <dlfcn.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

#include "base/Texts.h"
#include "bot/Bot.h"
#include "scripts/ScriptHost.h"
#include "web/WebConsole.h"

namespace zarivok {

namespace {

// The user's profile folder is made on first use, private: it will hold the password.
bool MakeOwnFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir()) return true;
    if (QDir().mkpath(info.absolutePath()) &&
        QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
        return true;
    }
    std::fprintf(stderr, "zarivok: the profile folder %s cannot be made\n", qPrintable(folder));
    return false;
}

}  // namespace

std::optional<StartOptions> ReadCommandLine(QCoreApplication& app) {
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
        QStringLiteral("Keep Config.ini, Users.txt, the protection files, web-token, "
                       "whisper.txt and the day logs in <dir>, which becomes the working "
                       "directory. Without it, an installed program uses ~/.config/zarivok."),
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
    const QCommandLineOption web(
        QStringLiteral("web"),
        QStringLiteral("Serve the web console, a page to watch and steer the bot from a browser, "
                       "on [ADDRESS:]PORT (127.0.0.1 unless an address is given; IPv6 in "
                       "brackets). Log in with the token in the file web-token beside "
                       "Config.ini. Plain HTTP: put it behind a TLS proxy to reach it from "
                       "other machines."),
        QStringLiteral("[address:]port"));
    const QCommandLineOption noScripts(
        QStringLiteral("no-scripts"),
        QStringLiteral("Run no scripts: the scripts folder beside Config.ini is left alone."));
    parser.addOption(noLog);
    parser.addOption(noMaster);
    parser.addOption(web);
    parser.addOption(noScripts);
    parser.process(app);

    const QString programFolder = QCoreApplication::applicationDirPath();
    ProfilePaths paths = ProfilePaths::Default(programFolder, QDir::currentPath());
    QString profileFolder;
    if (parser.isSet(profile)) {
        profileFolder = parser.value(profile);
        if (!QDir(profileFolder).exists()) {
            std::fprintf(stderr, "zarivok: the profile folder %s does not exist\n",
                         qPrintable(profileFolder));
            return std::nullopt;
        }
    } else if (IsInstalledFolder(programFolder, QStringLiteral(ZARIVOK_INSTALLED_BINDIR))) {
        profileFolder =
            UserProfileFolder(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath());
        if (!MakeOwnFolder(profileFolder)) return std::nullopt;
    }
    if (!profileFolder.isEmpty()) {
        const QString absolute = QDir(profileFolder).absolutePath();
        QDir::setCurrent(absolute);
        paths = ProfilePaths::ForFolder(absolute);
    }
    if (parser.isSet(noLog)) paths.logsFolder.clear();
    StartOptions options{paths, !parser.isSet(noMaster), std::nullopt, !parser.isSet(noScripts)};
    if (parser.isSet(web)) {
        QString problem;
        options.web = ParseWebAddress(parser.value(web), &problem);
        if (!options.web) {
            std::fprintf(stderr, "zarivok: %s\n", qPrintable(problem));
            return std::nullopt;
        }
    }
    return options;
}

void* OpenModule(const char* fileName, std::string* tried) {
    char self[4096] = {};
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = length > 0 ? std::string(self, static_cast<std::size_t>(length)) : "";
    folder = folder.substr(0, folder.rfind('/') + 1);
    for (const std::string& place : {folder, folder + ZARIVOK_MODULES_FROM_BIN + "/"}) {
        const std::string path = place + fileName;
        if (void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return module;
        *tried += std::string("\n  ") + ::dlerror();
    }
    return nullptr;
}

void StartScripts(Bot& bot, const StartOptions& options) {
    if (!options.scriptsEnabled) return;
    ScriptHost& scripts = bot.Scripts();
    scripts.SetRuntimeFactory([](ScriptServices& services) -> std::unique_ptr<ScriptRuntime> {
        using Make = ScriptRuntime* (*)(ScriptServices*);
        static const Make make = [] {
            std::string tried;
            void* module = OpenModule("zarivok_script_engine.so", &tried);
            if (!module) std::fprintf(stderr, "zarivok: the script engine:%s\n", tried.c_str());
            return module ? reinterpret_cast<Make>(::dlsym(module, "ZarivokMakeScriptRuntime"))
                          : nullptr;
        }();
        return std::unique_ptr<ScriptRuntime>(make ? make(&services) : nullptr);
    });
    scripts.Start();
}

std::unique_ptr<WebConsole> OpenWebConsole(Bot& bot, const StartOptions& options,
                                           std::FILE* status) {
    if (!options.web) return nullptr;
    auto console = std::make_unique<WebConsole>(bot);
    const auto url = console->Start(*options.web);
    if (url && status) {
        std::fprintf(status, "%s%s\n", WebConsole::kWebConsoleAt, qPrintable(*url));
        std::fflush(status);
    }
    return console;
}

}  // namespace zarivok
