#include "protection/ChannelGuard.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringBuilder>
#include <algorithm>
#include <ctime>

#include "commands/UserDatabase.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "core/Bot.h"
#include "core/Texts.h"
#include "display/ChatColour.h"
#include "settings/Settings.h"

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

// Flood counting reads the clock for every line of talk: the kernel's coarse clock, read without
// touching the hardware counter, is a few milliseconds behind at most, far finer than a window
// of whole seconds needs. Its monotonic kind, so that a clock set back frees nobody.
qint64 MonotonicMs() {
#ifdef CLOCK_MONOTONIC_COARSE
    timespec now{};
    if (clock_gettime(CLOCK_MONOTONIC_COARSE, &now) == 0) {
        return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    }
#endif
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

// Flags as the server writes them, four hexadecimal digits; anything unreadable counts as none.
int ParseFlags(QStringView flags) {
    bool ok = false;
    const int value = flags.toInt(&ok, 16);
    return ok ? value : 0;
}

QString Folded(QStringView name) { return name.toString().toCaseFolded(); }

// Phrases compare as the matcher compares them, ignoring letter case.
bool SameText(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

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

ChannelGuard::ChannelGuard(Bot& bot) : bot_(bot), clock_(&MonotonicMs) {
    connect(&bot_.GetOutgoing(), &Outgoing::LineSent, this, &ChannelGuard::LineTransmitted);
}

ProtectionFiles ChannelGuard::Read() const {
    const ProfilePaths& paths = bot_.Paths();
    return ReadProtectionFiles(paths.protectionFile, paths.banListFile, paths.phrasesFile);
}

ProtectionFiles ChannelGuard::ReadForEditing() {
    ProtectionFiles files = Read();
    for (const QString& problem : files.problems) bot_.AppendChat(problem + kCrLf, kRed);
    editorReadFailed_ = !files.problems.isEmpty();
    bansEncoding_ = files.bansEncoding;
    phrasesEncoding_ = files.phrasesEncoding;
    return files;
}

void ChannelGuard::Load() {
    const ProtectionFiles files = Read();
    for (const QString& problem : files.problems) bot_.AppendChat(problem + kCrLf, kRed);
    Apply(files);
}

void ChannelGuard::Apply(const ProtectionFiles& files) {
    ApplyTexts(files.texts);
    bans_.SetEntries(files.bans);
    bansEncoding_ = files.bansEncoding;
    ApplyPhrases(files.phrases);
    phrasesEncoding_ = files.phrasesEncoding;
}

void ChannelGuard::ApplyTexts(const ProtectionTexts& texts) {
    texts_ = texts;
    const ProtectionSettingsRead read =
        ParseProtectionTexts(texts_, QFileInfo(bot_.Paths().protectionFile).fileName());
    settings_ = read.settings;
    for (const QString& problem : read.problems) bot_.AppendChat(problem + kCrLf, kRed);
}

void ChannelGuard::ApplyPhrases(const QStringList& phrases) {
    phrases_ = phrases;
    matcher_ = PhraseMatcher(phrases_);
}

bool ChannelGuard::Save(const ProtectionTexts& texts, const QString& banListText,
                        const QString& phrasesText) {
    const ProfilePaths& paths = bot_.Paths();
    // The editor's lists stand for "could not read": saving them would replace what the files
    // really hold with nothing.
    if (editorReadFailed_) {
        bot_.AppendChat(QStringLiteral("Channel protection not saved: a file could not be read; "
                                       "open the dialog again once it can be.") +
                            kCrLf,
                        kRed);
        return false;
    }
    const QList<BanEntry> bans =
        BanList::ParseLines(SplitUsersLines(FileTextFromPane(banListText)));
    const QStringList phrases = ParsePhraseLines(SplitUsersLines(FileTextFromPane(phrasesText)));
    bool saved = true;
    // Each file that was written becomes the rules at once; one that was not keeps the rules it
    // stands for as they were, so memory never claims what the file does not hold.
    if (Report(WriteProtectionSettings(paths.protectionFile, texts))) {
        ApplyTexts(texts);
    } else {
        saved = false;
    }
    if (Report(WriteBanList(paths.banListFile, bans, bansEncoding_))) {
        bans_.SetEntries(bans);
    } else {
        saved = false;
    }
    if (Report(WritePhrases(paths.phrasesFile, phrases, phrasesEncoding_))) {
        ApplyPhrases(phrases);
    } else {
        saved = false;
    }
    EnforceOnEveryone();
    return saved;
}

bool ChannelGuard::Report(const std::optional<QString>& problem) {
    if (!problem) return true;
    bot_.AppendChat(*problem + kCrLf, kRed);
    return false;
}

bool ChannelGuard::IsOperator() const {
    return operator_ && bot_.GetConnection().IsLinkOpen(operatorLink_);
}

void ChannelGuard::ChannelEntered() {
    members_.clear();
    sentBans_.clear();
    waitSaid_ = false;
    const bool was = IsOperator();
    operator_ = false;
    if (was) emit OperatorChanged(false);
}

void ChannelGuard::UserShown(QStringView name, QStringView flags, bool joined) {
    const int value = ParseFlags(flags);
    if (IsOwnName(name)) {
        SetOperator((value & kOperatorFlags) != 0);
        return;
    }
    const QString user = name.toString();
    Member& member = members_[user.toCaseFolded()];
    member.flags = value;
    // A user who is merely listed at channel entry is not greeted: greetings are for arrivals.
    if (!Enforce(user, value) && joined) Greet(user, value);
}

void ChannelGuard::FlagsChanged(QStringView name, QStringView flags) {
    const int value = ParseFlags(flags);
    if (IsOwnName(name)) {
        SetOperator((value & kOperatorFlags) != 0);
        return;
    }
    // Also for a user not listed yet: the roster keeps a row for them, and becoming operator
    // walks the roster.
    members_[Folded(name)].flags = value;
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
    if (!settings_.lockdownEnabled && bans_.Size() == 0 && !settings_.phrasesEnabled &&
        !settings_.floodEnabled) {
        return;
    }
    const int value = ParseFlags(flags);
    Member& member = members_[Folded(name)];
    member.flags = value;
    const bool phrases = settings_.phrasesEnabled && !matcher_.IsEmpty();
    if (!phrases && !settings_.floodEnabled) return;
    if (IsExempt(name, value)) return;
    if (phrases && matcher_.ContainsAny(text)) {
        Act(name.toString(), settings_.phrasesAction, settings_.phrasesReason);
        return;
    }
    if (!settings_.floodEnabled) return;
    const qint64 now = clock_();
    const qint64 window = qint64{settings_.floodSeconds} * 1000;
    std::deque<qint64>& spoke = member.spoke;
    spoke.push_back(now);
    while (!spoke.empty() && now - spoke.front() >= window) spoke.pop_front();
    if (spoke.size() <= static_cast<size_t>(settings_.floodLines)) return;
    // One action per offence: the next needs as many lines again.
    spoke.clear();
    Act(name.toString(), settings_.floodAction, settings_.floodReason);
}

void ChannelGuard::ErrorShown(QStringView /*message*/) {
    // The server answers a ban at once, and in order: an error line that arrives while the oldest
    // of the bans sent waits for its answer is that answer. Bans still in the queue have not been
    // answered by anything yet.
    if (sentBans_.empty() || !sentBans_.front().transmitted) return;
    const SentBan ban = sentBans_.front();
    sentBans_.pop_front();
    if (!bot_.GetConnection().IsLinkOpen(ban.link)) return;
    if (bot_.Roster().FindIgnoringCase(ban.name) < 0) return;
    // A refused ban becomes a kick, once: the kick is no ban, so nothing answers it here.
    Act(ban.name, ProtectionAction::kKick, ban.reason);
}

void ChannelGuard::SetOperator(bool on) {
    const bool was = IsOperator();
    operator_ = on;
    operatorLink_ = bot_.GetConnection().ReplyLink();
    if (on == was) return;
    emit OperatorChanged(on);
    if (on) EnforceOnEveryone();
}

bool ChannelGuard::IsOwnName(QStringView name) const {
    return !bot_.strName.isEmpty() && SameName(name, bot_.strName);
}

bool ChannelGuard::IsExempt(QStringView name, int flags) const {
    return (flags & kExemptFlags) != 0 || IsOwnName(name) || bot_.UserList().IsAuthorizedUser(name);
}

ChannelGuard::Member* ChannelGuard::Find(QStringView name) {
    const auto found = members_.find(Folded(name));
    return found == members_.end() ? nullptr : &found.value();
}

bool ChannelGuard::Enforce(const QString& name, int flags) {
    if (IsExempt(name, flags)) return false;
    if (const BanEntry* entry = bans_.Match(name)) {
        const QString reason = entry->reason;
        Act(name, ProtectionAction::kBan, reason);
        return true;
    }
    if (settings_.lockdownEnabled) {
        Act(name, ProtectionAction::kKick, settings_.lockdownReason);
        return true;
    }
    return false;
}

void ChannelGuard::EnforceOnEveryone() {
    if (!IsOperator()) return;
    if (bans_.Size() == 0 && !settings_.lockdownEnabled) return;
    // Names first: nothing below lets events run, but the roster is not ours to hold into.
    const QStringList names = bot_.Roster().Names();
    for (const QString& name : names) {
        if (name.isEmpty() || IsOwnName(name)) continue;
        const Member* member = Find(name);
        Enforce(name, member != nullptr ? member->flags : 0);
    }
}

void ChannelGuard::Act(const QString& name, ProtectionAction action, const QString& reason) {
    Connection& connection = bot_.GetConnection();
    if (!connection.Socket().IsConnected()) return;
    if (!IsOperator()) {
        if (!waitSaid_) {
            waitSaid_ = true;
            bot_.AppendChat(
                bot_.TimeStamp() % QStringLiteral("Channel protection in ") % bot_.CurrentChannel %
                    QStringLiteral(" waits for operator status to kick or ban.") % kCrLf,
                kYellow);
        }
        return;
    }
    Member& member = members_[name.toCaseFolded()];
    // Checked here as well as by every rule: whatever asks, an exempt user is never acted on.
    if (IsExempt(name, member.flags)) return;
    Outgoing& out = bot_.GetOutgoing();
    // One action waiting per user: a burst of bad lines from one user is one kick, not ten.
    if (out.IsWaiting(member.actionTag)) return;
    const quint64 tag = ++nextTag_;
    member.actionTag = tag;
    const QString command =
        action == ProtectionAction::kBan ? QStringLiteral("/ban ") : QStringLiteral("/kick ");
    const QString line = reason.isEmpty() ? command + name : command + name + u' ' + reason;
    const quint64 link = connection.ReplyLink();
    if (action == ProtectionAction::kBan) {
        if (sentBans_.size() >= kMaxSentBans) sentBans_.pop_front();
        sentBans_.push_back({name, reason, link, tag, false});
    }
    out.SendChatText(line, link, tag);
}

void ChannelGuard::Greet(const QString& name, int flags) {
    if (!settings_.greetEnabled || settings_.greetText.isEmpty() || IsExempt(name, flags)) return;
    Connection& connection = bot_.GetConnection();
    if (!connection.Socket().IsConnected()) return;
    Outgoing& out = bot_.GetOutgoing();
    // Greetings never hold back other lines: while one waits, new arrivals go ungreeted.
    if (out.IsWaiting(greetingTag_)) return;
    greetingTag_ = ++nextTag_;
    out.SendChatText(GreetingFor(settings_.greetText, name, bot_.CurrentChannel),
                     connection.ReplyLink(), greetingTag_);
}

void ChannelGuard::LineTransmitted(quint64 tag) {
    for (SentBan& ban : sentBans_) {
        if (ban.tag == tag) ban.transmitted = true;
    }
}

void ChannelGuard::Reply(const QString& text, quint64 link) {
    bot_.GetOutgoing().SendChatText(text, link);
}

void ChannelGuard::SetLockdown(bool on, quint64 link) {
    ProtectionTexts texts = texts_;
    texts.lockdownEnabled = SwitchText(on);
    SaveTexts(texts);
    Reply(on ? QStringLiteral("Lockdown is on.") : QStringLiteral("Lockdown is off."), link);
    if (on) EnforceOnEveryone();
}

void ChannelGuard::SetGreeting(bool on, quint64 link) {
    ProtectionTexts texts = texts_;
    texts.greetEnabled = SwitchText(on);
    SaveTexts(texts);
    Reply(on ? QStringLiteral("Greeting is on.") : QStringLiteral("Greeting is off."), link);
}

void ChannelGuard::SetGreetingText(const QString& text, quint64 link) {
    ProtectionTexts texts = texts_;
    texts.greetText = AsReadBack(text);
    SaveTexts(texts);
    Reply(QStringLiteral("Greeting set."), link);
}

void ChannelGuard::AddBan(const QString& argument, quint64 link) {
    const QString trimmed = argument.trimmed();
    const qsizetype blank = trimmed.indexOf(u' ');
    const QString pattern = blank < 0 ? trimmed : trimmed.first(blank);
    const QString reason = blank < 0 ? QString() : trimmed.sliced(blank + 1).trimmed();
    if (!bans_.Add(pattern, reason)) {
        Reply(QStringLiteral("Error: the ban list needs a name pattern."), link);
        return;
    }
    Report(WriteBanList(bot_.Paths().banListFile, bans_.Entries(), bansEncoding_));
    Reply(QStringLiteral("Added ") % pattern % QStringLiteral(" to the ban list."), link);
    EnforceOnEveryone();
}

void ChannelGuard::RemoveBan(const QString& argument, quint64 link) {
    const QString pattern = argument.trimmed();
    if (!bans_.Remove(pattern)) {
        Reply(QStringLiteral("Error: ") % pattern % QStringLiteral(" is not on the ban list."),
              link);
        return;
    }
    Report(WriteBanList(bot_.Paths().banListFile, bans_.Entries(), bansEncoding_));
    Reply(QStringLiteral("Removed ") % pattern % QStringLiteral(" from the ban list."), link);
}

void ChannelGuard::AddPhrase(const QString& phrase, quint64 link) {
    if (phrase.isEmpty()) {
        Reply(QStringLiteral("Error: the phrase list needs a phrase."), link);
        return;
    }
    const bool listed = std::any_of(phrases_.cbegin(), phrases_.cend(),
                                    [&phrase](const QString& p) { return SameText(p, phrase); });
    if (!listed) {
        QStringList phrases = phrases_;
        phrases.append(phrase);
        ApplyPhrases(phrases);
        Report(WritePhrases(bot_.Paths().phrasesFile, phrases_, phrasesEncoding_));
    }
    Reply(QStringLiteral("Added ") % phrase % QStringLiteral(" to the phrase list."), link);
}

void ChannelGuard::RemovePhrase(const QString& phrase, quint64 link) {
    const auto found = std::find_if(phrases_.cbegin(), phrases_.cend(),
                                    [&phrase](const QString& p) { return SameText(p, phrase); });
    if (found == phrases_.cend()) {
        Reply(QStringLiteral("Error: ") % phrase % QStringLiteral(" is not on the phrase list."),
              link);
        return;
    }
    const qsizetype index = std::distance(phrases_.cbegin(), found);
    QStringList phrases = phrases_;
    phrases.removeAt(index);
    ApplyPhrases(phrases);
    Report(WritePhrases(bot_.Paths().phrasesFile, phrases_, phrasesEncoding_));
    Reply(QStringLiteral("Removed ") % phrase % QStringLiteral(" from the phrase list."), link);
}

void ChannelGuard::SaveTexts(const ProtectionTexts& texts) {
    // The change holds in memory even when the file cannot take it, as the user database's do;
    // the red line says the file is behind.
    Report(WriteProtectionSettings(bot_.Paths().protectionFile, texts));
    ApplyTexts(texts);
}

QString ChannelGuard::StatusText() const {
    const ProtectionSettings& s = settings_;
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
               .arg(bans_.Size())
               .arg(phrases_.size()) %
           (IsOperator() ? QStringLiteral("yes.") : QStringLiteral("no."));
}

}  // namespace zarivok
