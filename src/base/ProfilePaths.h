#pragma once

#include <QString>

namespace zarivok {

// Where the bot's files live. Config.ini and Users.txt belong to the program's own folder;
// whisper.txt, the database editor's Users.txt and the day logs' folder are taken from the
// working directory. With a profile folder, all of them are in it and it is the working
// directory, so every reader and writer of a file meets the same file.
struct ProfilePaths {
    QString configFile;
    QString usersFile;
    QString whisperFile;
    QString editorUsersFile;
    // Empty: no day log is kept.
    QString logsFolder;
    // Channel protection's files live beside Config.ini: they are settings too.
    QString protectionFile;
    QString banListFile;
    QString phrasesFile;
    // The web console's token: whoever reads it may steer the bot.
    QString webTokenFile;
    // The operator's scripts (*.js) and what each keeps between runs (NAME.json), beside
    // Config.ini.
    QString scriptsFolder;
    QString scriptDataFolder;

    static ProfilePaths ForFolder(const QString& folder);
    // The program's folder for the bot's own files, the working directory for the others.
    static ProfilePaths Default(const QString& programFolder, const QString& workingFolder);
};

// The profile folder of a program installed for every user (a system folder such as /usr/bin is
// no place for one user's password, nor writable by them): the user's own folder under
// $XDG_CONFIG_HOME, or ~/.config when that is unset or not absolute, as the XDG base directory
// rules say.
QString UserProfileFolder(const QString& xdgConfigHome, const QString& home);

// Whether programFolder is the folder the program was installed to, links resolved; a build tree
// or a copy elsewhere keeps its files beside the program.
bool IsInstalledFolder(const QString& programFolder, const QString& installedFolder);

}  // namespace zarivok
