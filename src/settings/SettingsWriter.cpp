#include "settings/SettingsWriter.h"

#include <QSaveFile>

#include "core/Texts.h"
#include "protocol/TextCodec.h"
#include "settings/Settings.h"

namespace zarivok {

QByteArray SettingsFileBytes(const SettingsTexts& texts) {
    const QString lines[] = {
        QStringLiteral("[Login]"),
        QStringLiteral("User=") + texts.user,
        QStringLiteral("Pass=") + texts.pass,
        QStringLiteral("Server=") + texts.server,
        QStringLiteral("Home=") + texts.home,
        QString(),
        QStringLiteral("[Options]"),
        QStringLiteral("Trigger=") + texts.trigger,
        QStringLiteral("Reconnect=") + texts.reconnect,
        QStringLiteral("IdleMsg=") + texts.idleMsg,
        QStringLiteral("Enable AutoClear=") + texts.enableAutoClear,
        QStringLiteral("AutoClear At Line=") + texts.autoClearAtLine,
        QStringLiteral("Enable Notifications=") + texts.enableNotifications,
    };
    QString text;
    for (const QString& line : lines) text += line + kCrLf;
    return EncodeText(text);
}

std::optional<QString> WriteSettingsFile(const QString& path, const QString& user,
                                         const QString& pass, const QString& server,
                                         const QString& home, const QString& trigger,
                                         const QString& reconnect, const QString& idleMsg,
                                         const QString& enableAutoClear,
                                         const QString& autoClearAtLine,
                                         const QString& enableNotifications) {
    const QByteArray bytes = SettingsFileBytes({user, pass, server, home, trigger, reconnect,
                                                idleMsg, enableAutoClear, autoClearAtLine,
                                                enableNotifications});
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes);
        if (file.commit()) return std::nullopt;
    }
    // QSaveFile has already dropped its temporary file; the old file was never touched.
    return QStringLiteral("Could not write %1: %2").arg(path, file.errorString().simplified());
}

}  // namespace zarivok
