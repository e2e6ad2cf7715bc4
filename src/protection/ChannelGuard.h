#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "protection/BanList.h"
#include "protection/PhraseMatcher.h"
#include "protection/ProtectionFiles.h"
#include "protection/ProtectionSettings.h"

namespace zarivok {

class Bot;

// Keeps the channel in order while nobody watches: the ban list, the lockdown, the phrase and
// flood rules and the greeting. It learns the channel from the roster events, its own operator
// status from the bot's own flags, and acts only through SendChatText, so the flood-safe queue
// paces every burst. Nobody the bot must never act on is ever acted on: the bot itself, listed
// users, the master name, and server staff and channel operators.
class ChannelGuard : public QObject {
    Q_OBJECT
  public:
    explicit ChannelGuard(Bot& bot);

    // Reads the three files (at each connect); every problem is a red line.
    void Load();
    // What the files now hold.
    ProtectionFiles Read() const;
    // The same for an editor, with every problem a red line: the lists are written back in the
    // code pages read here, and while a file could not be read, Save refuses.
    ProtectionFiles ReadForEditing();
    // The dialog's Save: writes the three files and makes them the rules at once. Returns whether
    // all three were written; each failure is a red line.
    bool Save(const ProtectionTexts& texts, const QString& banListText, const QString& phrasesText);

    const ProtectionSettings& Settings() const { return settings_; }
    const ProtectionTexts& Texts() const { return texts_; }
    const BanList& Bans() const { return bans_; }
    const QStringList& Phrases() const { return phrases_; }
    // Operator status in the channel the bot is in, on the connection that is open now.
    bool IsOperator() const;

    // Events of the channel, called by the receive side after the roster has them.
    void ChannelEntered();
    // A 1001 at channel entry (joined false) or a 1002 join (joined true).
    void UserShown(QStringView name, QStringView flags, bool joined);
    void FlagsChanged(QStringView name, QStringView flags);
    void UserLeft(QStringView name);
    // Channel talk and emotes.
    void UserSpoke(QStringView name, QStringView flags, QStringView text);
    void ErrorShown(QStringView message);

    // The commands of listed users: each changes and saves its file, then answers in the channel
    // on the connection named by link (see Outgoing::SendChatText). A failed save is a red line;
    // the change still holds in memory. The ban pattern's argument is "pattern [reason]".
    void SetLockdown(bool on, quint64 link);
    void SetGreeting(bool on, quint64 link);
    void SetGreetingText(const QString& text, quint64 link);
    void AddBan(const QString& argument, quint64 link);
    void RemoveBan(const QString& pattern, quint64 link);
    void AddPhrase(const QString& phrase, quint64 link);
    void RemovePhrase(const QString& phrase, quint64 link);
    // One line: each rule's state, the sizes of both lists, and the operator status.
    QString StatusText() const;

    // Flood counting's clock, in monotonic milliseconds; tests replace it.
    void SetClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

  signals:
    // The bot's operator status as the server's flags for it say, at each change, and false at
    // each channel entry until they say otherwise.
    void OperatorChanged(bool on);

  private:
    struct Member {
        int flags = 0;
        // Times of the latest talk lines, oldest first, at most floodLines + 1 of them.
        std::deque<qint64> spoke;
        // The send-queue tag of the last action taken on this user.
        quint64 actionTag = 0;
    };
    struct SentBan {
        QString name;
        QString reason;
        quint64 link = 0;
        quint64 tag = 0;
        bool transmitted = false;
    };

    void Apply(const ProtectionFiles& files);
    // Parses the texts into the rules, each bad value a red line.
    void ApplyTexts(const ProtectionTexts& texts);
    void ApplyPhrases(const QStringList& phrases);
    void SaveTexts(const ProtectionTexts& texts);
    // A writer's problem as a red line; true when there was none.
    bool Report(const std::optional<QString>& problem);
    void Reply(const QString& text, quint64 link);
    void SetOperator(bool on);
    bool IsExempt(QStringView name, int flags) const;
    bool IsOwnName(QStringView name) const;
    Member* Find(QStringView name);
    // The ban list, then the lockdown, on one user; true when a rule wants to act on them,
    // whether or not the bot may.
    bool Enforce(const QString& name, int flags);
    // Every user in the channel goes through Enforce, in list order.
    void EnforceOnEveryone();
    // Sends "/kick" or "/ban" for name with the reason, at most one waiting at a time per user.
    // Says once per channel that the rules wait when the bot is not operator.
    void Act(const QString& name, ProtectionAction action, const QString& reason);
    void Greet(const QString& name, int flags);
    void LineTransmitted(quint64 tag);

    Bot& bot_;
    std::function<qint64()> clock_;
    ProtectionTexts texts_;
    ProtectionSettings settings_;
    BanList bans_;
    TextEncoding bansEncoding_ = TextEncoding::kUtf8;
    QStringList phrases_;
    TextEncoding phrasesEncoding_ = TextEncoding::kUtf8;
    PhraseMatcher matcher_;

    // Case-folded name -> what is known of that user in this channel.
    QHash<QString, Member> members_;
    bool operator_ = false;
    quint64 operatorLink_ = 0;
    bool waitSaid_ = false;
    bool editorReadFailed_ = false;
    quint64 greetingTag_ = 0;
    quint64 nextTag_ = 0;
    std::deque<SentBan> sentBans_;
};

}  // namespace zarivok
