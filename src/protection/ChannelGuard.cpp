#include "protection/ChannelGuard.h"

#include <QStringBuilder>
#include <algorithm>

#include "base/CoarseClock.h"
#include "base/ProfilePaths.h"
#include "base/Texts.h"
#include "channel/RosterModel.h"
#include "commands/UserDatabase.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "display/ChatOutput.h"

namespace zarivok {
namespace {

// The flags bits that mark server staff and channel operators, whom no rule touches, and the
// two of them that give the bot the right to kick.
constexpr int kServerAdministrator = 0x01;
constexpr int kTemporaryOperator = 0x02;
constexpr int kChannelOperator = 0x08;
constexpr int kOperatorFlags = kTemporaryOperator | kChannelOperator;
constexpr int kExemptFlags = kServerAdministrator | kOperatorFlags;

// Bans sent that no error has answered yet: a ban the server refuses is answered at once, so a
// few are plenty; the oldest are forgotten first.
constexpr size_t kMaxSentBans = 100;

QString Folded(QStringView name) { return name.toString().toCaseFolded(); }

QString OnOff(bool on) { return on ? QStringLiteral("on") : QStringLiteral("off"); }

// One pass, so that a name holding "%channel%" is not replaced once more.
QString GreetingFor(const QString& text, const QString& user, const QString& channel) {
    static const QString kUser = QStringLiteral("%user%");
    static const QString kChannel = QStringLiteral("%channel%");
    QString result;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype at = text.indexOf(u'%', from);
        if (at < 0) break;
        result += QStringView(text).sliced(from, at - from);
        if (QStringView(text).sliced(at).startsWith(kUser, Qt::CaseInsensitive)) {
            result += user;
            from = at + kUser.size();
        } else if (QStringView(text).sliced(at).startsWith(kChannel, Qt::CaseInsensitive)) {
            result += channel;
            from = at + kChannel.size();
        } else {
            result += u'%';
            from = at + 1;
        }
    }
    result += QStringView(text).sliced(from);
    return result;
}

}  // namespace

ChannelGuard::ChannelGuard(const Parts& parts)
    : output_(parts.output),
      connection_(parts.connection),
      outgoing_(parts.outgoing),
      roster_(parts.roster),
      users_(parts.users),
      ownName_(parts.ownName),
      channel_(parts.channel),
      rules_(parts.paths.protectionFile, parts.paths.banListFile, parts.paths.phrasesFile,
             parts.output),
      commands_(*this, rules_, parts.outgoing),
      clock_(&CoarseMonotonicMs) {
    connect(&outgoing_, &Outgoing::LineSent, this, &ChannelGuard::LineTransmitted);
}

void ChannelGuard::Hear(const ChannelEvent& event) {
    switch (event.kind) {
        case EventKind::kChannelLeft:
            ForgetChannel();
            return;
        case EventKind::kUser:
        case EventKind::kJoin:
            UserShown(event.user, event.flags, event.kind == EventKind::kJoin);
            return;
        case EventKind::kFlags:
            FlagsChanged(event.user, event.flags);
            return;
        case EventKind::kLeave:
            // Whatever the list showed, the guard forgets the user: one who spoke unlisted
            // counted too.
            UserLeft(event.user);
            return;
        case EventKind::kTalk:
        case EventKind::kEmote:
            UserSpoke(event.user, event.flags, event.text);
            return;
        case EventKind::kError:
            ErrorShown();
            return;
        default:
            return;
    }
}

bool ChannelGuard::Save(const ProtectionTexts& texts, const QString& banListText,
                        const QString& phrasesText) {
    const bool refused = !rules_.MaySave();
    const bool saved = rules_.Save(texts, banListText, phrasesText);
    // A refused save changed nothing; any other may have, if only in part.
    if (!refused) EnforceOnEveryone();
    return saved;
}

bool ChannelGuard::IsOperator() const { return operator_ && connection_.IsLinkOpen(operatorLink_); }

void ChannelGuard::ForgetChannel() {
    members_.clear();
    sentBans_.clear();
    waitSaid_ = false;
    const bool was = IsOperator();
    operator_ = false;
    if (was) emit OperatorChanged(false);
}

void ChannelGuard::UserShown(QStringView name, QStringView flags, bool joined) {
    const int value = FlagsValue(flags);
    const QString user = name.toString();
    // Kept for the bot's own name as well: should the bot log on anew under another one, the
    // row of the old name is somebody whose flags are known.
    members_[user.toCaseFolded()].flags = value;
    if (IsOwnName(name)) {
        SetOperator((value & kOperatorFlags) != 0);
        return;
    }
    // A user who is merely listed at channel entry is not greeted: greetings are for arrivals.
    if (!Enforce(user, value) && joined) Greet(user, value);
}

void ChannelGuard::FlagsChanged(QStringView name, QStringView flags) {
    const int value = FlagsValue(flags);
    // Also for a user not listed yet (the roster keeps a row for them, and becoming operator
    // walks the roster), and for the bot's own name, as above.
    members_[Folded(name)].flags = value;
    if (IsOwnName(name)) SetOperator((value & kOperatorFlags) != 0);
}

void ChannelGuard::UserLeft(QStringView name) {
    const QString folded = Folded(name);
    members_.remove(folded);
    // A ban refused after the user left needs no kick: "never for a user who has left".
    std::erase_if(sentBans_,
                  [&folded](const SentBan& ban) { return ban.name.toCaseFolded() == folded; });
}

void ChannelGuard::UserSpoke(QStringView name, QStringView flags, QStringView text) {
    // Every line of channel talk passes here: with no rule that kicks or bans, it costs a few
    // tests. Otherwise the speaker's flags, as the line gives them now, are kept whatever the
    // rule, since the ban list or the lockdown may later act on everyone present (the bot made
    // operator, a pattern added), and an operator known only from a talk line is left alone then.
    const ProtectionSettings& settings = rules_.Settings();
    if (!settings.lockdownEnabled && rules_.Bans().Size() == 0 && !settings.phrasesEnabled &&
        !settings.floodEnabled) {
        return;
    }
    const int value = FlagsValue(flags);
    Member& member = members_[Folded(name)];
    member.flags = value;
    const bool phrases = settings.phrasesEnabled && !rules_.Matcher().IsEmpty();
    if (!phrases && !settings.floodEnabled) return;
    if (IsExempt(name, value)) return;
    if (phrases && rules_.Matcher().ContainsAny(text)) {
        Act(name.toString(), settings.phrasesAction, settings.phrasesReason);
        return;
    }
    if (!settings.floodEnabled) return;
    const qint64 now = clock_();
    const qint64 window = qint64{settings.floodSeconds} * 1000;
    std::deque<qint64>& spoke = member.spoke;
    spoke.push_back(now);
    while (!spoke.empty() && now - spoke.front() >= window) spoke.pop_front();
    if (spoke.size() <= static_cast<size_t>(settings.floodLines)) return;
    // One action per offence: the next needs as many lines again.
    spoke.clear();
    Act(name.toString(), settings.floodAction, settings.floodReason);
}

void ChannelGuard::ErrorShown() {
    // The server answers a ban at once, and in order: an error line that arrives while the oldest
    // of the bans sent waits for its answer is that answer. Bans still in the queue have not been
    // answered by anything yet.
    if (sentBans_.empty() || !sentBans_.front().transmitted) return;
    const SentBan ban = sentBans_.front();
    sentBans_.pop_front();
    if (!connection_.IsLinkOpen(ban.link)) return;
    if (roster_.FindIgnoringCase(ban.name) < 0) return;
    // A refused ban becomes a kick, once: the kick is no ban, so nothing answers it here.
    Act(ban.name, ProtectionAction::kKick, ban.reason);
}

void ChannelGuard::SetOperator(bool on) {
    const bool was = IsOperator();
    operator_ = on;
    operatorLink_ = connection_.ReplyLink();
    if (on == was) return;
    emit OperatorChanged(on);
    if (on) EnforceOnEveryone();
}

bool ChannelGuard::IsOwnName(QStringView name) const {
    return !ownName_.isEmpty() && SameName(name, ownName_);
}

bool ChannelGuard::IsExempt(QStringView name, int flags) const {
    return (flags & kExemptFlags) != 0 || IsOwnName(name) || users_.IsAuthorizedUser(name);
}

ChannelGuard::Member* ChannelGuard::Find(QStringView name) {
    const auto found = members_.find(Folded(name));
    return found == members_.end() ? nullptr : &found.value();
}

bool ChannelGuard::Enforce(const QString& name, int flags) {
    if (IsExempt(name, flags)) return false;
    if (const BanEntry* entry = rules_.Bans().Match(name)) {
        const QString reason = entry->reason;
        Act(name, ProtectionAction::kBan, reason);
        return true;
    }
    if (rules_.Settings().lockdownEnabled) {
        Act(name, ProtectionAction::kKick, rules_.Settings().lockdownReason);
        return true;
    }
    return false;
}

void ChannelGuard::EnforceOnEveryone() {
    if (!IsOperator()) return;
    if (rules_.Bans().Size() == 0 && !rules_.Settings().lockdownEnabled) return;
    // Names first: nothing below lets events run, but the roster is not ours to hold into.
    const QStringList names = roster_.Names();
    for (const QString& name : names) {
        if (name.isEmpty() || IsOwnName(name)) continue;
        const Member* member = Find(name);
        Enforce(name, member != nullptr ? member->flags : 0);
    }
}

void ChannelGuard::Act(const QString& name, ProtectionAction action, const QString& reason) {
    if (!connection_.Socket().IsConnected()) return;
    if (!IsOperator()) {
        if (!waitSaid_) {
            waitSaid_ = true;
            output_.AppendChat(
                output_.TimeStamp() % QStringLiteral("Channel protection in ") % channel_ %
                    QStringLiteral(" waits for operator status to kick or ban.") % kCrLf,
                kYellow);
        }
        return;
    }
    Member& member = members_[name.toCaseFolded()];
    // Checked here as well as by every rule: whatever asks, an exempt user is never acted on.
    if (IsExempt(name, member.flags)) return;
    // One action waiting per user: a burst of bad lines from one user is one kick, not ten.
    if (outgoing_.IsWaiting(member.actionTag)) return;
    const quint64 tag = outgoing_.NewTag();
    member.actionTag = tag;
    const QString command =
        action == ProtectionAction::kBan ? QStringLiteral("/ban ") : QStringLiteral("/kick ");
    const QString line = reason.isEmpty() ? command + name : command + name + u' ' + reason;
    const quint64 link = connection_.ReplyLink();
    if (action == ProtectionAction::kBan) {
        if (sentBans_.size() >= kMaxSentBans) sentBans_.pop_front();
        sentBans_.push_back({name, reason, link, tag, false});
    }
    outgoing_.SendChatText(line, link, tag);
}

void ChannelGuard::Greet(const QString& name, int flags) {
    const ProtectionSettings& settings = rules_.Settings();
    if (!settings.greetEnabled || settings.greetText.isEmpty() || IsExempt(name, flags)) return;
    if (!connection_.Socket().IsConnected()) return;
    // Greetings never hold back other lines: while one waits, new arrivals go ungreeted.
    if (outgoing_.IsWaiting(greetingTag_)) return;
    greetingTag_ = outgoing_.NewTag();
    outgoing_.SendChatText(GreetingFor(settings.greetText, name, channel_), connection_.ReplyLink(),
                           greetingTag_);
}

void ChannelGuard::LineTransmitted(quint64 tag) {
    for (SentBan& ban : sentBans_) {
        if (ban.tag == tag) ban.transmitted = true;
    }
}

QString ChannelGuard::StatusText() const {
    const ProtectionSettings& s = rules_.Settings();
    QString flood = OnOff(s.floodEnabled);
    if (s.floodEnabled) {
        flood += QStringLiteral(" (%1 lines in %2 s, %3)")
                     .arg(s.floodLines)
                     .arg(s.floodSeconds)
                     .arg(ActionText(s.floodAction));
    }
    QString phrases = OnOff(s.phrasesEnabled);
    if (s.phrasesEnabled) phrases += QStringLiteral(" (") % ActionText(s.phrasesAction) % u')';
    return QStringLiteral("Protection: greeting ") % OnOff(s.greetEnabled) %
           QStringLiteral(", lockdown ") % OnOff(s.lockdownEnabled) % QStringLiteral(", phrases ") %
           phrases % QStringLiteral(", flood ") % flood %
           QStringLiteral("; %1 ban pattern(s), %2 phrase(s); operator: ")
               .arg(rules_.Bans().Size())
               .arg(rules_.Phrases().size()) %
           (IsOperator() ? QStringLiteral("yes.") : QStringLiteral("no."));
}

}  // namespace zarivok
