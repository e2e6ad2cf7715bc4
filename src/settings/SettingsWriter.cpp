#include "settings/SettingsWriter.h"

#include "base/ReplaceFile.h"
#include "base/TextCodec.h"
#include "base/Texts.h"
#include "settings/Settings.h"

namespace zarivok {

SettingsFileContent ComposeSettingsFile(const SettingsTexts& texts) {
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
    for (const QString& line : lines) {
        if (line.contains(u'\r') || line.contains(u'\n'))
            return {{}, line.first(line.indexOf(u'='))};
        text += line + kCrLf;
    }
    return {EncodeText(text), {}};
}

std::optional<QString> WriteSettingsFile(const QString& path, const QString& user,
                                         const QString& pass, const QString& server,
                                         const QString& home, const QString& trigger,
                                         const QString& reconnect, const QString& idleMsg,
                                         const QString& enableAutoClear,
                                         const QString& autoClearAtLine,
                                         const QString& enableNotifications) {
    const SettingsFileContent content =
        ComposeSettingsFile({user, pass, server, home, trigger, reconnect, idleMsg, enableAutoClear,
                             autoClearAtLine, enableNotifications});
    const std::optional<QString> problem =
        content.brokenKey.isEmpty()
            // The file holds the password: a new one is its owner's alone. One that exists
            // keeps the mode its owner gave it.
            ? ReplaceFile(path, content.bytes, kOwnerOnly)
            : QStringLiteral(
                  "the value of \"%1\" holds a line break; a value must stay on one line.")
                  .arg(content.brokenKey);
    if (!problem) return std::nullopt;
    return QStringLiteral("Could not write %1: %2").arg(path, *problem);
}

}  // namespace zarivok
