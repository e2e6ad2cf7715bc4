#include "settings/SettingsWriter.h"

#include <QSaveFile>

#include "core/Texts.h"
#include "protocol/TextCodec.h"
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
    if (!content.brokenKey.isEmpty()) {
        return QStringLiteral(
                   "Could not write %1: the value of \"%2\" holds a line break; "
                   "a value must stay on one line.")
            .arg(path, content.brokenKey);
    }
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content.bytes);
        if (file.commit()) return std::nullopt;
    }
    // QSaveFile has already dropped its temporary file; the old file was never touched.
    return QStringLiteral("Could not write %1: %2").arg(path, file.errorString().simplified());
}

}  // namespace zarivok
