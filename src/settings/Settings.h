#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace zarivok {

class IniFile;

// How every number of the settings files is read: whole decimal numbers only, an optional sign,
// then ASCII digits, with white space around them allowed. Anything else ("12x", "1.5", "0x10",
// digits of other scripts) is refused rather than read in part, and so is anything beyond a
// billion, which no setting comes near.
std::optional<qint64> ParseWholeNumber(QStringView text);

// The ten values read from Config.ini at each connect and at the Reconnect command. Texts are
// empty and numbers 0 until the first load. A switch is on only when it equals 1.
struct Settings {
    QString strUser, strPass, strServer, strHome, strTrigger, strReconnect, strIdleMsg;
    int intEnableAutoClear = 0, intAutoClearAtLine = 0, intEnableNotifications = 0;
};

// Fallbacks for the four numeric keys when one is missing, empty or not a whole number in its
// range (from -32768 to 32767, and from 0 to 65535 for the reconnect delay in milliseconds).
// They keep the bot usable until the file is fixed: reconnect after ten seconds, leave the chat
// pane alone, show users joining and leaving, and should auto-clear be switched on from the
// menu, clear after 500 lines. LoadSettings reports every fallback it takes, so a broken file
// never goes unnoticed.
inline constexpr char kFallbackReconnect[] = "10000";
inline constexpr int kFallbackEnableAutoClear = 0;
inline constexpr int kFallbackAutoClearAtLine = 500;
inline constexpr int kFallbackEnableNotifications = 1;

// The ten values as the file holds them, before any conversion or fallback: what the settings
// dialog shows and, after editing, hands back to WriteSettingsFile.
struct SettingsTexts {
    QString user, pass, server, home, trigger, reconnect, idleMsg, enableAutoClear, autoClearAtLine,
        enableNotifications;
};
SettingsTexts ReadSettingsTexts(const QString& configPath);
SettingsTexts ReadSettingsTexts(const IniFile& ini);

// The reconnect timer's interval, in milliseconds, for the settings as loaded: the number that
// LoadSettings accepted; 0 (never) before any load.
int ReconnectIntervalMs(const Settings& settings);

// How the settings dialog shows a switch value: checked only for the whole number 1, read as
// LoadSettings reads it (so "01" and "+1" are on too). A missing value, or any other value, shows
// unchecked: a check box has no state for "broken", and the next Save then writes a valid "0".
bool SwitchIsOn(const QString& value);
// How the settings dialog writes a switch: "1" or "0".
QString SwitchText(bool on);

// Reads the ten keys of the file at configPath into settings, parsing the file once. Returns one
// problem text per numeric key that took its fallback, in key order, for the chat pane.
QStringList LoadSettings(const QString& configPath, Settings& settings);
// The same for ten texts already read.
QStringList LoadSettings(const SettingsTexts& texts, Settings& settings);

}  // namespace zarivok
