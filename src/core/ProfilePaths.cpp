#include "core/ProfilePaths.h"

#include <QDir>

namespace zarivok {

ProfilePaths ProfilePaths::ForFolder(const QString& folder) { return Default(folder, folder); }

ProfilePaths ProfilePaths::Default(const QString& programFolder, const QString& workingFolder) {
    const QDir program(programFolder);
    const QDir working(workingFolder);
    // One spelling for both the reader and the writer of the settings, so a file system that
    // tells letter cases apart still sees one file.
    return ProfilePaths{program.filePath(QStringLiteral("Config.ini")),
                        program.filePath(QStringLiteral("Users.txt")),
                        working.filePath(QStringLiteral("whisper.txt")),
                        working.filePath(QStringLiteral("Users.txt")),
                        working.filePath(QStringLiteral("logs")),
                        program.filePath(QStringLiteral("Protection.ini")),
                        program.filePath(QStringLiteral("Banlist.txt")),
                        program.filePath(QStringLiteral("Phrases.txt")),
                        program.filePath(QStringLiteral("web-token"))};
}

}  // namespace zarivok
