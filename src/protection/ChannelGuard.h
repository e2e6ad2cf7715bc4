#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "channel/ChannelEvent.h"
#include "protection/ProtectionCommands.h"
#include "protection/ProtectionRules.h"

namespace zarivok {

class ChatOutput;
class Connection;
class Outgoing;
class RosterModel;
class UserDatabase;
struct ProfilePaths;

// Keeps the channel in order while nobody watches: the ban list, the lockdown, the phrase and
// flood rules and the greeting. It learns the channel from its events, its own operator status
// from the bot's own flags, and acts only through SendChatText, so the flood-safe queue paces
// every burst. Nobody the bot must never act on is ever acted on: the bot itself, listed users,
// the master name, and server staff and channel operators.
class ChannelGuard : public QObject, public ChannelListener {
    Q_OBJECT
  public:
    // What the guard reads of the bot and acts through.
    struct Parts {
        const ProfilePaths& paths;
        ChatOutput& output;
        Connection& connection;
        Outgoing& outgoing;
        const RosterModel& roster;
        const UserDatabase& users;
        // The bot's own name and the channel it is in.
        const QString& ownName;
        const QString& channel;
    };

    explicit ChannelGuard(const Parts& parts);

    // The events of the channel, heard after the bot's state has them.
    void Hear(const ChannelEvent& event) override;

    // Reads the three files (at each connect); every problem is a red line.
    void Load() { rules_.Load(); }
    // The protection dialog's side: what the files hold, and its Save, which makes the saved
    // files the rules at once and holds everyone present against them. Returns whether all three
    // files were written.
    ProtectionFiles ReadForEditing() { return rules_.ReadForEditing(); }
    bool Save(const ProtectionTexts& texts, const QString& banListText, const QString& phrasesText);

    const ProtectionRules& Rules() const { return rules_; }
    const ProtectionSettings& Settings() const { return rules_.Settings(); }
    const BanList& Bans() const { return rules_.Bans(); }
    const QStringList& Phrases() const { return rules_.Phrases(); }
    // The commands of listed users, for the command interpreter.
    CommandSet& Commands() { return commands_; }
    // Operator status in the channel the bot is in, on the connection that is open now.
    bool IsOperator() const;
    // One line: each rule's state, the sizes of both lists, and the operator status.
    QString StatusText() const;
    // Every user in the channel is held against the ban list and the lockdown, in list order.
    void EnforceOnEveryone();
    // The channel was left (another entered), or the bot's session forgotten: nobody is known
    // any more, and the bot is no operator until its flags say so.
    void ForgetChannel();

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

    // A 1001 at channel entry (joined false) or a 1002 join (joined true).
    void UserShown(QStringView name, QStringView flags, bool joined);
    void FlagsChanged(QStringView name, QStringView flags);
    void UserLeft(QStringView name);
    // Channel talk and emotes.
    void UserSpoke(QStringView name, QStringView flags, QStringView text);
    void ErrorShown();

    void SetOperator(bool on);
    bool IsExempt(QStringView name, int flags) const;
    bool IsOwnName(QStringView name) const;
    Member* Find(QStringView name);
    // The ban list, then the lockdown, on one user; true when a rule wants to act on them,
    // whether or not the bot may.
    bool Enforce(const QString& name, int flags);
    // Sends "/kick" or "/ban" for name with the reason, at most one waiting at a time per user.
    // Says once per channel that the rules wait when the bot is not operator.
    void Act(const QString& name, ProtectionAction action, const QString& reason);
    void Greet(const QString& name, int flags);
    void LineTransmitted(quint64 tag);

    ChatOutput& output_;
    Connection& connection_;
    Outgoing& outgoing_;
    const RosterModel& roster_;
    const UserDatabase& users_;
    const QString& ownName_;
    const QString& channel_;
    ProtectionRules rules_;
    ProtectionCommands commands_;
    std::function<qint64()> clock_;

    // Case-folded name -> what is known of that user in this channel.
    QHash<QString, Member> members_;
    bool operator_ = false;
    quint64 operatorLink_ = 0;
    bool waitSaid_ = false;
    quint64 greetingTag_ = 0;
    std::deque<SentBan> sentBans_;
};

}  // namespace zarivok
