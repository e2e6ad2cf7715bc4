#include "settings/SettingsWriter.h"

#include <QSaveFile>

#include "protocol/TextCodec.h"

namespace zarivok {

std::optional<QString> WriteSettingsFile(const QString& path, const QString& user,
                                         const QString& pass, const QString& server,
                                         const QString& home, const QString& trigger,
                                         const QString& reconnect, const QString& idleMsg,
                                         const QString& enableAutoClear,
                                         const QString& autoClearAtLine,
                                         const QString& enableNotifications) {
    const QString lines[] = {
        QStringLiteral("[Login]"),
        QStringLiteral("User=") + user,
        QStringLiteral("Pass=") + pass,
        QStringLiteral("Server=") + server,
        QStringLiteral("Home=") + home,
        QString(),
        QStringLiteral("[Options]"),
        QStringLiteral("Trigger=") + trigger,
        QStringLiteral("Reconnect=") + reconnect,
        QStringLiteral("IdleMsg=") + idleMsg,
        QStringLiteral("Enable AutoClear=") + enableAutoClear,
        QStringLiteral("AutoClear At Line=") + autoClearAtLine,
        QStringLiteral("Enable Notifications=") + enableNotifications,
    };
    QString text;
    for (const QString& line : lines) text += line + QStringLiteral("\r\n");

    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(EncodeText(text));
        if (file.commit()) return std::nullopt;
    }
    // QSaveFile has already dropped its temporary file; the old file was never touched.
    return QStringLiteral("Could not write %1: %2").arg(path, file.errorString().simplified());
}

}  // namespace zarivok
