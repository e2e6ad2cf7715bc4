#include "settings/SettingsWriter.h"

#include "core/ReplaceFile.h"
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

    const auto problem = ReplaceFile(path, EncodeText(text));
    if (!problem) return std::nullopt;
    return QStringLiteral("Could not write %1: %2").arg(path, *problem);
}

}  // namespace zarivok
