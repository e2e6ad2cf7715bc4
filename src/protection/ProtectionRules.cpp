#include "protection/ProtectionRules.h"

#include <QFileInfo>
#include <algorithm>

#include "base/Texts.h"
#include "display/ChatOutput.h"
#include "settings/Settings.h"

namespace zarivok {
namespace {

// Phrases compare as the matcher compares them, ignoring letter case.
bool SameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

}  // namespace

ProtectionRules::ProtectionRules(QString settingsPath, QString banListPath, QString phrasesPath,
                                 ChatOutput& output)
    : settingsPath_(std::move(settingsPath)),
      banListPath_(std::move(banListPath)),
      phrasesPath_(std::move(phrasesPath)),
      output_(output) {}

ProtectionFiles ProtectionRules::Read() const {
    return ReadProtectionFiles(settingsPath_, banListPath_, phrasesPath_);
}

ProtectionFiles ProtectionRules::ReadForEditing() {
    ProtectionFiles files = Read();
    for (const QString& problem : files.problems) output_.AppendChat(problem + kCrLf, kRed);
    editorReadFailed_ = !files.problems.isEmpty();
    bansEncoding_ = files.bansEncoding;
    phrasesEncoding_ = files.phrasesEncoding;
    return files;
}

void ProtectionRules::Load() {
    const ProtectionFiles files = Read();
    for (const QString& problem : files.problems) output_.AppendChat(problem + kCrLf, kRed);
    Apply(files);
}

void ProtectionRules::Apply(const ProtectionFiles& files) {
    ApplyTexts(files.texts);
    bans_.SetEntries(files.bans);
    bansEncoding_ = files.bansEncoding;
    ApplyPhrases(files.phrases);
    phrasesEncoding_ = files.phrasesEncoding;
}

void ProtectionRules::ApplyTexts(const ProtectionTexts& texts) {
    texts_ = texts;
    const ProtectionSettingsRead read =
        ParseProtectionTexts(texts_, QFileInfo(settingsPath_).fileName());
    settings_ = read.settings;
    for (const QString& problem : read.problems) output_.AppendChat(problem + kCrLf, kRed);
}

void ProtectionRules::ApplyPhrases(const QStringList& phrases) {
    phrases_ = phrases;
    matcher_ = PhraseMatcher(phrases_);
}

bool ProtectionRules::Save(const ProtectionTexts& texts, const QString& banListText,
                           const QString& phrasesText) {
    // The editor's lists stand for "could not read": saving them would replace what the files
    // really hold with nothing.
    if (editorReadFailed_) {
        output_.AppendChat(QStringLiteral("Channel protection not saved: a file could not be "
                                          "read; open the dialog again once it can be.") +
                               kCrLf,
                           kRed);
        return false;
    }
    const QList<BanEntry> bans = BanList::ParseLines(SplitListLines(FileTextFromPane(banListText)));
    const QStringList phrases = ParsePhraseLines(SplitListLines(FileTextFromPane(phrasesText)));
    bool saved = true;
    // Each file that was written becomes the rules at once; one that was not keeps the rules it
    // stands for as they were, so memory never claims what the file does not hold.
    if (Report(WriteProtectionSettings(settingsPath_, texts))) {
        ApplyTexts(texts);
    } else {
        saved = false;
    }
    if (Report(WriteBanList(banListPath_, bans, bansEncoding_))) {
        bans_.SetEntries(bans);
    } else {
        saved = false;
    }
    if (Report(WritePhrases(phrasesPath_, phrases, phrasesEncoding_))) {
        ApplyPhrases(phrases);
    } else {
        saved = false;
    }
    return saved;
}

bool ProtectionRules::Report(const std::optional<QString>& problem) {
    if (!problem) return true;
    output_.AppendChat(*problem + kCrLf, kRed);
    return false;
}

void ProtectionRules::SaveTexts(const ProtectionTexts& texts) {
    // The change holds in memory even when the file cannot take it; the red line says the file
    // is behind.
    Report(WriteProtectionSettings(settingsPath_, texts));
    ApplyTexts(texts);
}

void ProtectionRules::SetLockdown(bool on) {
    ProtectionTexts texts = texts_;
    texts.lockdownEnabled = SwitchText(on);
    SaveTexts(texts);
}

void ProtectionRules::SetGreeting(bool on) {
    ProtectionTexts texts = texts_;
    texts.greetEnabled = SwitchText(on);
    SaveTexts(texts);
}

void ProtectionRules::SetGreetingText(const QString& text) {
    ProtectionTexts texts = texts_;
    texts.greetText = AsReadBack(text);
    SaveTexts(texts);
}

bool ProtectionRules::AddBan(const QString& argument, QString* pattern) {
    const QString trimmed = argument.trimmed();
    const qsizetype blank = trimmed.indexOf(u' ');
    *pattern = blank < 0 ? trimmed : trimmed.first(blank);
    const QString reason = blank < 0 ? QString() : trimmed.sliced(blank + 1).trimmed();
    if (!bans_.Add(*pattern, reason)) return false;
    Report(WriteBanList(banListPath_, bans_.Entries(), bansEncoding_));
    return true;
}

bool ProtectionRules::RemoveBan(const QString& pattern) {
    if (!bans_.Remove(pattern)) return false;
    Report(WriteBanList(banListPath_, bans_.Entries(), bansEncoding_));
    return true;
}

void ProtectionRules::AddPhrase(const QString& phrase) {
    const bool listed = std::any_of(phrases_.cbegin(), phrases_.cend(),
                                    [&phrase](const QString& p) { return SameText(p, phrase); });
    if (listed) return;
    QStringList phrases = phrases_;
    phrases.append(phrase);
    ApplyPhrases(phrases);
    Report(WritePhrases(phrasesPath_, phrases_, phrasesEncoding_));
}

bool ProtectionRules::RemovePhrase(const QString& phrase) {
    const auto found = std::find_if(phrases_.cbegin(), phrases_.cend(),
                                    [&phrase](const QString& p) { return SameText(p, phrase); });
    if (found == phrases_.cend()) return false;
    const qsizetype index = std::distance(phrases_.cbegin(), found);
    QStringList phrases = phrases_;
    phrases.removeAt(index);
    ApplyPhrases(phrases);
    Report(WritePhrases(phrasesPath_, phrases_, phrasesEncoding_));
    return true;
}

}  // namespace zarivok
