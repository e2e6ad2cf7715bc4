#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace zarivok {

struct SettingsTexts;

// What WriteSettingsFile writes for the ten texts. A text holding a CR or LF cannot be written
// as it is: its line would end there, and the rest would read as a line of its own, another key
// or section. Such texts get no bytes at all; brokenKey names the first one's key.
struct SettingsFileContent {
    QByteArray bytes;
    QString brokenKey;
};
SettingsFileContent ComposeSettingsFile(const SettingsTexts& texts);

// Writes the whole settings file: the two sections with the ten keys, one per line ended by
// CR LF, values unchanged (the dialog passes the two switches as "0" or "1"), in UTF-8. Anything
// else the file held is dropped. The file is replaced in one step, so a failed write (or a value
// holding a line break, which is refused) leaves the old file whole. Returns std::nullopt on
// success, else a one-line reason for the chat pane.
std::optional<QString> WriteSettingsFile(const QString& path, const QString& user,
                                         const QString& pass, const QString& server,
                                         const QString& home, const QString& trigger,
                                         const QString& reconnect, const QString& idleMsg,
                                         const QString& enableAutoClear,
                                         const QString& autoClearAtLine,
                                         const QString& enableNotifications);

}  // namespace zarivok
