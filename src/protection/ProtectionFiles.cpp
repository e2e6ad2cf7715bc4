#include "protection/ProtectionFiles.h"

#include <QFile>
#include <algorithm>

#include "core/ReplaceFile.h"
#include "settings/IniFile.h"

namespace zarivok {
namespace {

ProtectionTexts ReadSettingsFile(const QString& path, QStringList& problems) {
    QFile file(path);
    if (!file.exists()) return {};
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (file.error() == QFileDevice::NoError) return ReadProtectionTexts(IniFile::Parse(bytes));
    }
    problems.append(
        QStringLiteral("Could not read %1: %2").arg(path, file.errorString().simplified()));
    return {};
}

QString SaveProblem(const QString& path, const QString& reason) {
    return QStringLiteral("Could not save %1: %2").arg(path, reason);
}

// The files tell who is banned and why, and what the bot watches for: one made here is its
// owner's alone.
std::optional<QString> Save(const QString& path, const QByteArray& bytes) {
    const std::optional<QString> problem = ReplaceFile(path, bytes, kOwnerOnly);
    if (!problem) return std::nullopt;
    return SaveProblem(path, *problem);
}

std::optional<QString> SaveList(const QString& path, const QStringList& lines,
                                TextEncoding encoding) {
    return Save(path, EncodeUsersFile(JoinUsersLines(lines), encoding));
}

}  // namespace

ProtectionFiles ReadProtectionFiles(const QString& settingsPath, const QString& banListPath,
                                    const QString& phrasesPath) {
    ProtectionFiles files;
    files.texts = ReadSettingsFile(settingsPath, files.problems);

    const UsersFileRead bans = ReadUsersFile(banListPath);
    if (bans.problem) files.problems.append(*bans.problem);
    files.bans = BanList::ParseLines(SplitUsersLines(bans.content.text));
    files.bansEncoding = bans.content.encoding;

    const UsersFileRead phrases = ReadUsersFile(phrasesPath);
    if (phrases.problem) files.problems.append(*phrases.problem);
    files.phrases = ParsePhraseLines(SplitUsersLines(phrases.content.text));
    files.phrasesEncoding = phrases.content.encoding;
    return files;
}

std::optional<QString> WriteProtectionSettings(const QString& path, const ProtectionTexts& texts) {
    const ProtectionFileContent content = ComposeProtectionFile(texts);
    if (content.brokenKey.isEmpty()) return Save(path, content.bytes);
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
