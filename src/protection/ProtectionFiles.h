#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "base/ListFile.h"
#include "protection/BanList.h"
#include "protection/ProtectionSettings.h"

namespace zarivok {

// The three files of channel protection as they were read: each list keeps the code page its
// file was read in, to be written back in, as Users.txt does.
struct ProtectionFiles {
    ProtectionTexts texts;
    QList<BanEntry> bans;
    TextEncoding bansEncoding = TextEncoding::kUtf8;
    QStringList phrases;
    TextEncoding phrasesEncoding = TextEncoding::kUtf8;
    // One line per file that exists but could not be read, naming it and the reason. A missing
    // file is no problem: its feature is off and its list empty.
    QStringList problems;
};

ProtectionFiles ReadProtectionFiles(const QString& settingsPath, const QString& banListPath,
                                    const QString& phrasesPath);

// Each writer replaces its file in one step; a file it creates is readable by its owner only.
// std::nullopt on success, else one line naming the file and the reason.
std::optional<QString> WriteProtectionSettings(const QString& path, const ProtectionTexts& texts);
std::optional<QString> WriteBanList(const QString& path, const QList<BanEntry>& entries,
                                    TextEncoding encoding);
std::optional<QString> WritePhrases(const QString& path, const QStringList& phrases,
                                    TextEncoding encoding);

// The phrase list's lines: every line of the file that holds more than blanks.
QStringList ParsePhraseLines(const QStringList& lines);

}  // namespace zarivok
