#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zarivok {

class IniFile;

// What a kicking or banning rule does to the user it catches.
enum class ProtectionAction { kKick, kBan };
// "kick" or "ban": the word the file, the dialog and the status line use.
QString ActionText(ProtectionAction action);

// The values of Protection.ini as the file holds them, before any reading: what the protection
// dialog shows and hands back, and what the commands change one key at a time. Keeping the texts
// (not the parsed values) means a value that could not be read is written back as it stood,
// never silently replaced.
struct ProtectionTexts {
    QString greetEnabled, greetText;
    QString lockdownEnabled, lockdownReason;
    QString phrasesEnabled, phrasesAction, phrasesReason;
    QString floodEnabled, floodLines, floodSeconds, floodAction, floodReason;

    bool operator==(const ProtectionTexts&) const = default;
};

// The rules as the guard applies them. A feature whose file value is missing or bad is off.
struct ProtectionSettings {
    bool greetEnabled = false;
    QString greetText;
    bool lockdownEnabled = false;
    QString lockdownReason;
    bool phrasesEnabled = false;
    ProtectionAction phrasesAction = ProtectionAction::kKick;
    QString phrasesReason;
    bool floodEnabled = false;
    int floodLines = 0;
    int floodSeconds = 0;
    ProtectionAction floodAction = ProtectionAction::kKick;
    QString floodReason;
};

// The ranges a flood rule accepts: a count of lines from 1 and a window of whole seconds.
inline constexpr int kMaxFloodLines = 1000;
inline constexpr int kMaxFloodSeconds = 3600;

ProtectionTexts ReadProtectionTexts(const IniFile& ini);

struct ProtectionSettingsRead {
    ProtectionSettings settings;
    // One line per bad value, naming the file, the key and the value, for the chat pane.
    QStringList problems;
};
// Reads the texts the way the bot applies them. Enabled: a whole number, on only when it is 1
// (as the switches of Config.ini); Lines and Seconds: whole numbers in their ranges; Action:
// "kick" or "ban" in any letter case. A missing (empty) Enabled, Lines or Seconds turns the
// feature off without a word; a missing Action is "kick"; a missing Text or Reason is empty.
// fileName names the file in the problem lines.
ProtectionSettingsRead ParseProtectionTexts(const ProtectionTexts& texts, const QString& fileName);

// The whole file, four sections and their keys in the order of the example in the README, one
// line each ended by CR LF, in UTF-8. A text holding a CR or LF cannot be written: its line would
// end there and the rest read as another key. Such texts give no bytes and brokenKey names the
// first one as "Section/Key".
struct ProtectionFileContent {
    QByteArray bytes;
    QString brokenKey;
};
ProtectionFileContent ComposeProtectionFile(const ProtectionTexts& texts);

// A text as the reader would give it back from the file: blanks around it dropped, cut to the
// reader's longest value. Commands store what they are given in this form, so that memory and
// file never differ.
QString AsReadBack(const QString& text);

}  // namespace zarivok
