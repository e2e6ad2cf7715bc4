#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "protection/BanList.h"
#include "protection/PhraseMatcher.h"
#include "protection/ProtectionFiles.h"
#include "protection/ProtectionSettings.h"

namespace zarivok {

class ChatOutput;

// Channel protection's rules as its three files hold them (Protection.ini, Banlist.txt,
// Phrases.txt), and every change to them: read at each connect, edited by the dialog and by the
// commands of listed users, each change saved at once. Every problem is a red line; a change
// holds in memory even when its file cannot take it, as the user database's do.
class ProtectionRules {
  public:
    ProtectionRules(QString settingsPath, QString banListPath, QString phrasesPath,
                    ChatOutput& output);

    // Reads the three files and makes them the rules.
    void Load();
    // What the files now hold.
    ProtectionFiles Read() const;
    // The same for an editor: the lists are written back in the code pages read here, and while
    // a file could not be read, Save refuses.
    ProtectionFiles ReadForEditing();
    // The dialog's Save: writes the three files; each file that was written becomes the rules at
    // once. Returns whether all three were written.
    bool Save(const ProtectionTexts& texts, const QString& banListText, const QString& phrasesText);
    // False while the editor's last read failed: Save then refuses, changing nothing.
    bool MaySave() const { return !editorReadFailed_; }

    const ProtectionSettings& Settings() const { return settings_; }
    const ProtectionTexts& Texts() const { return texts_; }
    const BanList& Bans() const { return bans_; }
    const QStringList& Phrases() const { return phrases_; }
    const PhraseMatcher& Matcher() const { return matcher_; }

    // One change each, saved at once.
    void SetLockdown(bool on);
    void SetGreeting(bool on);
    void SetGreetingText(const QString& text);
    // The argument is "pattern [reason]"; false, with nothing changed, when it holds no pattern.
    // Returns the pattern in *pattern.
    bool AddBan(const QString& argument, QString* pattern);
    // False when the pattern is not on the list.
    bool RemoveBan(const QString& pattern);
    // A phrase already listed (ignoring letter case) is not listed twice.
    void AddPhrase(const QString& phrase);
    // False when the phrase is not on the list.
    bool RemovePhrase(const QString& phrase);

  private:
    void Apply(const ProtectionFiles& files);
    // Parses the texts into the rules, each bad value a red line.
    void ApplyTexts(const ProtectionTexts& texts);
    void ApplyPhrases(const QStringList& phrases);
    void SaveTexts(const ProtectionTexts& texts);
    // A writer's problem as a red line; true when there was none.
    bool Report(const std::optional<QString>& problem);

    QString settingsPath_;
    QString banListPath_;
    QString phrasesPath_;
    ChatOutput& output_;
    ProtectionTexts texts_;
    ProtectionSettings settings_;
    BanList bans_;
    TextEncoding bansEncoding_ = TextEncoding::kUtf8;
    QStringList phrases_;
    TextEncoding phrasesEncoding_ = TextEncoding::kUtf8;
    PhraseMatcher matcher_;
    bool editorReadFailed_ = false;
};

}  // namespace zarivok
