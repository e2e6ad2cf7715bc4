#include "display/WhisperLogFile.h"

#include <QFile>
#include <QFileInfo>

#include "base/ReplaceFile.h"

namespace zarivok {
namespace {

WhisperLogContent Unusable(const QString& why) {
    return {{},
            why + QStringLiteral("; the whisper window starts empty and the file is kept until "
                                 "the log is saved.")};
}

}  // namespace

WhisperLogContent LoadWhisperLog(const QString& path) {
    QFile file(path);
    if (!file.exists()) return {};
    if (QFileInfo(file).size() > kWhisperLogMaxBytes) {
        return Unusable(QStringLiteral("%1 is larger than %2 MiB")
                            .arg(path)
                            .arg(kWhisperLogMaxBytes / (1024 * 1024)));
    }
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.read(kWhisperLogMaxBytes);
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        return Unusable(
            QStringLiteral("Could not read %1: %2").arg(path, file.errorString().simplified()));
    }
    // An empty file is what some editors leave behind: nothing to show, nothing to keep.
    if (bytes.trimmed().isEmpty()) return {};
    std::optional<QList<RtfRun>> runs = ReadRtf(bytes);
    if (!runs) return Unusable(QStringLiteral("%1 is not a rich text document").arg(path));
    return {std::move(*runs), {}};
}

std::optional<QString> SaveWhisperLog(const QString& path, const QList<RtfRun>& runs) {
    const auto problem = ReplaceFile(path, WriteRtf(runs));
    if (!problem) return std::nullopt;
    return QStringLiteral("Could not save %1: %2").arg(path, *problem);
}

}  // namespace zarivok
