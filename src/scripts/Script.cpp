#include "scripts/Script.h"

#include <QStringBuilder>
#include <algorithm>

#include "base/CoarseClock.h"
#include "base/ListFile.h"
#include "base/Texts.h"
#include "channel/RosterModel.h"
#include "commands/UserDatabase.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "display/ChatOutput.h"
#include "scripts/ScriptHost.h"
#include "settings/Settings.h"

namespace zarivok {
namespace {

// A pane line is one line: a line break inside the text would start another one.
QString OneLine(QString text) {
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

// The command word at the start of text after the trigger: the word in any letter case, then
// the end or a blank. The argument is everything after that first blank, as typed.
std::optional<QString> CommandArgument(const QString& text, const QString& trigger,
                                       const QString& word) {
    if (!text.startsWith(trigger)) return std::nullopt;
    const QStringView rest = QStringView(text).sliced(trigger.size());
    if (!rest.startsWith(word, Qt::CaseInsensitive)) return std::nullopt;
    const QStringView after = rest.sliced(word.size());
    if (after.isEmpty()) return QString();
    if (after.front() != u' ') return std::nullopt;
    return after.sliced(1).toString();
}

}  // namespace

Script::Script(ScriptHost& host, QString name, QString path)
    : host_(host), name_(std::move(name)), path_(std::move(path)) {}

Script::~Script() {
    // The timers go first: none may fire into a runtime that is gone.
    timers_.clear();
    runtime_.reset();
}

bool Script::Load(const ScriptRuntimeFactory& factory) {
    const FileBytes read = ReadFileBytes(path_);
    if (read.problem) {
        SayRed(*read.problem);
        return false;
    }
    if (!factory) {
        SayRed(QStringLiteral("Script %1 cannot run: the script engine is missing.").arg(name_));
        return false;
    }
    store_ = std::make_unique<ScriptStore>(host_.DataFolder(), name_,
                                           [this](const QString& problem) { SayRed(problem); });
    runtime_ = factory(*this);
    if (!runtime_) {
        SayRed(QStringLiteral("Script %1 cannot run: the script engine could not be made.")
                   .arg(name_));
        return false;
    }
    Watchdog& watchdog = host_.Watch();
    watchdog.Begin(*runtime_);
    const std::optional<ScriptError> error = runtime_->Load(QString::fromUtf8(read.bytes), name_);
    const bool interrupted = watchdog.End();
    if (interrupted || error) {
        Report(interrupted ? std::optional<ScriptError>(ScriptError{{}, 0, true}) : error);
        // Nothing of a script that did not load may run later.
        timers_.clear();
        hooks_.clear();
        return false;
    }
    return true;
}

void Script::Run(int function, const QVariantList& arguments) {
    if (!runtime_) return;
    Watchdog& watchdog = host_.Watch();
    watchdog.Begin(*runtime_);
    const std::optional<ScriptError> error = runtime_->Call(function, arguments);
    if (watchdog.End()) {
        runtime_->Resume();
        Report(ScriptError{{}, 0, true});
        return;
    }
    Report(error);
}

void Script::Report(const std::optional<ScriptError>& error) {
    if (!error) return;
    if (error->interrupted) {
        SayRed(QStringLiteral("Script %1 was stopped after 1 second.").arg(name_));
        return;
    }
    QString line = QStringLiteral("Script %1: %2").arg(name_, error->message);
    if (error->line > 0) line += QStringLiteral(" (line %1)").arg(error->line);
    SayRed(line);
}

void Script::SayRed(const QString& line) {
    lastError_ = line;
    // One line a second at most, this script's own: a flood of failures hides nobody else's.
    const qint64 now = CoarseMonotonicMs();
    if (now - lastReportMs_ < kReportIntervalMs) return;
    lastReportMs_ = now;
    host_.Output().AppendChat(OneLine(line) + kCrLf, kRed);
    // The lists of the front ends show the last problem too.
    Q_EMIT host_.StatesChanged();
}

void Script::Fire(ScriptEvent event, const QVariantList& arguments) {
    // By index: a handler cannot register another while the list is walked, but the count is
    // read each time round all the same.
    for (size_t i = 0; i < hooks_.size(); ++i) {
        const Hook& hook = hooks_[i];
        if (hook.word.isEmpty() && hook.event == event) Run(hook.function, arguments);
    }
}

void Script::HearTalk(const QString& user, const QString& text, int flags, bool listed) {
    const QString& trigger = host_.GetSettings().strTrigger;
    for (size_t i = 0; i < hooks_.size(); ++i) {
        const Hook hook = hooks_[i];
        if (hook.word.isEmpty()) {
            if (hook.event == ScriptEvent::kTalk) Run(hook.function, {user, text, flags});
            continue;
        }
        if (!listed && !hook.anyone) continue;
        if (const auto argument = CommandArgument(text, trigger, hook.word)) {
            Run(hook.function, {user, *argument});
        }
    }
}

bool Script::HasWord(const QString& word) const {
    return std::any_of(hooks_.begin(), hooks_.end(), [&word](const Hook& hook) {
        return !hook.word.isEmpty() && hook.word.compare(word, Qt::CaseInsensitive) == 0;
    });
}

std::optional<ScriptFailure> Script::On(const QString& event, int function) {
    const std::optional<ScriptEvent> known = ScriptEventNamed(event);
    if (!known) {
        return ScriptFailure{ScriptFailure::Kind::kTypeError,
                             QStringLiteral("bot.on: there is no event \"%1\"").arg(event)};
    }
    hooks_.push_back({*known, {}, false, function});
    return std::nullopt;
}

std::optional<ScriptFailure> Script::Command(const QString& word, int function, bool anyone) {
    if (word.isEmpty() || word.contains(u' ') || word.contains(u'\r') || word.contains(u'\n')) {
        return ScriptFailure{ScriptFailure::Kind::kError,
                             QStringLiteral("bot.command: a word is one or more characters "
                                            "without blanks")};
    }
    if (const std::optional<QString> owner = host_.WordOwner(word)) {
        return ScriptFailure{
            ScriptFailure::Kind::kError,
            QStringLiteral("bot.command: \"%1\" is taken by %2").arg(word, *owner)};
    }
    hooks_.push_back({ScriptEvent::kTalk, word, anyone, function});
    return std::nullopt;
}

qsizetype Script::WaitingLines() {
    Outgoing& out = host_.GetOutgoing();
    // Tags whose lines have all left are forgotten; what the queue drops (a closed connection)
    // leaves with them.
    std::erase_if(tags_, [&out](quint64 tag) { return !out.IsWaiting(tag); });
    qsizetype waiting = 0;
    for (const quint64 tag : tags_) waiting += out.WaitingLines(tag);
    return waiting;
}

bool Script::Send(const QString& line) {
    if (!host_.LoggedIn() || WaitingLines() >= kMaxWaitingLines) return false;
    Outgoing& out = host_.GetOutgoing();
    const quint64 tag = out.NewTag();
    out.SendChatText(line, host_.GetConnection().ReplyLink(), tag);
    if (out.IsWaiting(tag)) {
        tags_.push_back(tag);
        return true;
    }
    return host_.LastSentTag() == tag;
}

bool Script::Say(const QString& text) { return Send(text); }

bool Script::Whisper(const QString& user, const QString& text) {
    return Send(QStringLiteral("/w ") % user % u' ' % text);
}

bool Script::Kick(const QString& user, const QString& reason) {
    return Send(reason.isEmpty() ? QStringLiteral("/kick ") + user
                                 : QStringLiteral("/kick ") % user % u' ' % reason);
}

bool Script::Ban(const QString& user, const QString& reason) {
    return Send(reason.isEmpty() ? QStringLiteral("/ban ") + user
                                 : QStringLiteral("/ban ") % user % u' ' % reason);
}

QString Script::BotName() const { return host_.OwnName(); }
QString Script::Channel() const { return host_.CurrentChannel(); }
QString Script::Trigger() const { return host_.GetSettings().strTrigger; }

QList<ScriptUser> Script::Users() const {
    QList<ScriptUser> users;
    const QList<RosterEntry>& entries = host_.Roster().Entries();
    users.reserve(entries.size());
    for (const RosterEntry& entry : entries) users.append({entry.name, entry.flags, entry.product});
    return users;
}

bool Script::IsListed(const QString& name) const { return host_.UserList().IsAuthorizedUser(name); }

void Script::Print(const QString& text) {
    ChatOutput& out = host_.Output();
    out.AppendChat(out.TimeStamp() % u'[' % name_ % QStringLiteral("] ") % OneLine(text) % kCrLf,
                   kWhite);
}

std::optional<ScriptFailure> Script::StartTimer(int ms, int function, bool repeat, int* id) {
    if (ms < kShortestTimerMs) {
        return ScriptFailure{
            ScriptFailure::Kind::kRangeError,
            QStringLiteral("a timer's interval is at least %1 ms").arg(kShortestTimerMs)};
    }
    *id = ++nextTimer_;
    Timer& timer = timers_[*id];
    timer.timer = std::make_unique<QTimer>();
    timer.timer->setSingleShot(!repeat);
    timer.function = function;
    timer.repeat = repeat;
    QObject::connect(timer.timer.get(), &QTimer::timeout,
                     [this, timerId = *id] { TimerFired(timerId); });
    timer.timer->start(ms);
    return std::nullopt;
}

void Script::TimerFired(int id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) return;
    const int function = found->second.function;
    if (!found->second.repeat) {
        // Done before its function runs, which may start or cancel timers of its own. The
        // QTimer is deleted later: this runs inside its own signal.
        found->second.timer.release()->deleteLater();
        timers_.erase(found);
        Run(function, {});
        if (runtime_) runtime_->Forget(function);
        return;
    }
    Run(function, {});
}

void Script::CancelTimer(int id) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) return;
    // Never deleted at once: a timer may cancel itself from its own function.
    found->second.timer->stop();
    found->second.timer.release()->deleteLater();
    const int function = found->second.function;
    timers_.erase(found);
    if (runtime_) runtime_->Forget(function);
}

std::optional<QJsonValue> Script::StoreGet(const QString& key) const {
    return store_ ? store_->Get(key) : std::nullopt;
}

std::optional<ScriptFailure> Script::StoreSet(const QString& key, const QJsonValue& value) {
    if (store_ && store_->Set(key, value)) return std::nullopt;
    return ScriptFailure{ScriptFailure::Kind::kError,
                         QStringLiteral("bot.store.set: the store would grow beyond 1 MiB")};
}

void Script::StoreRemove(const QString& key) {
    if (store_) store_->Remove(key);
}

}  // namespace zarivok
