#include "support/FileVersions.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include "base/ChatColour.h"
#include "base/ListFile.h"
#include "display/WhisperLogFile.h"
#include "settings/SettingsWriter.h"

namespace zarivok::testing {
namespace {

QString UsersText(int count) {
    QString text;
    for (int i = 0; i < count; ++i) text += QStringLiteral("user%1\r\n").arg(i);
    return text;
}

QList<RtfRun> WhisperRuns(int count) {
    QList<RtfRun> runs;
    for (int i = 0; i < count; ++i) {
        runs.append({QStringLiteral("[9:05:03 PM] <From: user%1> ").arg(i), kYellow});
        runs.append({QStringLiteral("whisper number %1 \u00e9\u4e2d\r\n").arg(i), kGrey});
    }
    return runs;
}

}  // namespace

QString FileName(SavedFile file) {
    switch (file) {
        case SavedFile::kConfig:
            return QStringLiteral("Config.ini");
        case SavedFile::kUsers:
            return QStringLiteral("Users.txt");
        case SavedFile::kWhisper:
            break;
    }
    return QStringLiteral("whisper.txt");
}

std::optional<QString> SaveVersion(SavedFile file, int version, const QString& folder) {
    const QString path = QDir(folder).filePath(FileName(file));
    const bool second = version != 0;
    switch (file) {
        case SavedFile::kConfig:
            return second ? WriteSettingsFile(path, "bot2", "other pass", "chat.example.invalid",
                                              "Home of the brave", "?", "60000",
                                              QString(3000, u'i'), "1", "250", "0")
                          : WriteSettingsFile(path, "bot1", "botpass", "127.0.0.1", "Lobby", "!",
                                              "5000", "idle", "0", "500", "1");
        case SavedFile::kUsers:
            return WriteListFile(path, UsersText(second ? 20000 : 5000), TextEncoding::kUtf8);
        case SavedFile::kWhisper:
            break;
    }
    return SaveWhisperLog(path, WhisperRuns(second ? 20000 : 5000));
}

std::array<QByteArray, 2> VersionBytes(SavedFile file) {
    std::array<QByteArray, 2> bytes;
    QTemporaryDir scratch;
    for (int version = 0; version < 2; ++version) {
        SaveVersion(file, version, scratch.path());
        QFile saved(QDir(scratch.path()).filePath(FileName(file)));
        if (saved.open(QIODevice::ReadOnly)) bytes[version] = saved.readAll();
    }
    return bytes;
}

}  // namespace zarivok::testing
