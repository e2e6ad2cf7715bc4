#include "protection/ProtectionFiles.h"

#include <algorithm>

#include "settings/IniFile.h"

namespace zarivok {
namespace {

// The files tell who is banned and why, and what the bot watches for: one made here is its
// owner's alone (kOwnerOnly, in every writer below).
std::optional<QString> SaveList(const QString& path, const QStringList& lines,
                                TextEncoding encoding) {
    return WriteListFile(path, JoinListLines(lines), encoding, kOwnerOnly);
}

}  // namespace

ProtectionFiles ReadProtectionFiles(const QString& settingsPath, const QString& banListPath,
                                    const QString& phrasesPath) {
    ProtectionFiles files;
    const FileBytes settings = ReadFileBytes(settingsPath);
    if (settings.problem) files.problems.append(*settings.problem);
    files.texts = ReadProtectionTexts(IniFile::Parse(settings.bytes));

    const ListFileRead bans = ReadListFile(banListPath);
    if (bans.problem) files.problems.append(*bans.problem);
    files.bans = BanList::ParseLines(SplitListLines(bans.content.text));
    files.bansEncoding = bans.content.encoding;

    const ListFileRead phrases = ReadListFile(phrasesPath);
    if (phrases.problem) files.problems.append(*phrases.problem);
    files.phrases = ParsePhraseLines(SplitListLines(phrases.content.text));
    files.phrasesEncoding = phrases.content.encoding;
    return files;
}

std::optional<QString> WriteProtectionSettings(const QString& path, const ProtectionTexts& texts) {
    const ProtectionFileContent content = ComposeProtectionFile(texts);
    if (content.brokenKey.isEmpty()) return SaveFileBytes(path, content.bytes, kOwnerOnly);
    return SaveProblem(
        path,
        QStringLiteral("the value of \"%1\" holds a line break; a value must stay on one line.")
            .arg(content.brokenKey));
}

std::optional<QString> WriteBanList(const QString& path, const QList<BanEntry>& entries,
                                    TextEncoding encoding) {
    return SaveList(path, BanList::ToLines(entries), encoding);
}

std::optional<QString> WritePhrases(const QString& path, const QStringList& phrases,
                                    TextEncoding encoding) {
    return SaveList(path, phrases, encoding);
}

QStringList ParsePhraseLines(const QStringList& lines) {
    QStringList phrases;
    for (const QString& line : lines) {
        // A stray line of blanks would match nearly every line said and act on everybody.
        const bool blank = std::all_of(line.cbegin(), line.cend(),
                                       [](QChar c) { return c == u' ' || c == u'\t'; });
        if (!blank) phrases.append(line);
    }
    return phrases;
}

}  // namespace zarivok
