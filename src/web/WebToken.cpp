#include "web/WebToken.h"

#include <QFile>
#include <QRandomGenerator>
#include <array>

#include "base/ListFile.h"
#include "base/ReplaceFile.h"

namespace zarivok {

QByteArray NewRandomToken() {
    // The system generator reads the kernel's: unpredictable, not merely well spread.
    std::array<quint32, 8> words;
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    return QByteArray(reinterpret_cast<const char*>(words.data()), sizeof words)
        .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

WebTokenFile LoadWebToken(const QString& path) {
    WebTokenFile result;
    const FileBytes read = ReadFileBytes(path);
    if (read.problem) {
        result.problem = QStringLiteral("The web console is off: %1.").arg(*read.problem);
        return result;
    }
    const qsizetype lineEnd = read.bytes.indexOf('\n');
    result.token = (lineEnd < 0 ? read.bytes : read.bytes.left(lineEnd)).trimmed();
    if (!result.token.isEmpty()) {
        const QFile::Permissions others = QFile::ReadGroup | QFile::ReadOther;
        if (QFile::permissions(path) & others) {
            result.notes.append(
                QStringLiteral("%1 may be read by other users of this computer: make it readable "
                               "by its owner only (chmod 600).")
                    .arg(path));
        }
        return result;
    }
    const QByteArray token = NewRandomToken();
    if (const auto problem = SaveFileBytes(path, token + '\n', kOwnerOnly)) {
        result.problem = QStringLiteral("The web console is off: %1.").arg(*problem);
        return result;
    }
    result.token = token;
    result.notes.append(
        QStringLiteral("A new web console token is in %1; log in with it.").arg(path));
    return result;
}

}  // namespace zarivok
