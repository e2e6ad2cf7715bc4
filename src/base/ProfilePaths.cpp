#include "base/ProfilePaths.h"

#include <QDir>
#include <QFileInfo>

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
                        program.filePath(QStringLiteral("web-token")),
                        program.filePath(QStringLiteral("scripts")),
                        program.filePath(QStringLiteral("script-data"))};
}

QString UserProfileFolder(const QString& xdgConfigHome, const QString& home) {
    const QString base = QDir::isAbsolutePath(xdgConfigHome)
                             ? xdgConfigHome
                             : QDir(home).filePath(QStringLiteral(".config"));
    return QDir::cleanPath(QDir(base).filePath(QStringLiteral("zarivok")));
}

bool IsInstalledFolder(const QString& programFolder, const QString& installedFolder) {
    const QString program = QFileInfo(programFolder).canonicalFilePath();
    return !program.isEmpty() && program == QFileInfo(installedFolder).canonicalFilePath();
}

}  // namespace zarivok
