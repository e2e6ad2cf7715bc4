#include "scripts/ScriptHost.h"

#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QStringBuilder>

#include "base/ProfilePaths.h"
#include "base/Texts.h"
#include "commands/CommandInterpreter.h"
#include "commands/CommandText.h"
#include "commands/UserDatabase.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "display/ChatOutput.h"
#include "scripts/Script.h"
#include "settings/Settings.h"

namespace zarivok {
namespace {

constexpr char kScriptsWord[] = "scripts";

}  // namespace

ScriptHost::ScriptHost(const Parts& parts)
    : paths_(parts.paths),
      output_(parts.output),
      connection_(parts.connection),
      outgoing_(parts.outgoing),
      roster_(parts.roster),
      users_(parts.users),
      commands_(parts.commands),
      settings_(parts.settings),
      ownName_(parts.ownName),
      channel_(parts.channel) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &ScriptHost::Poll);
    connect(&outgoing_, &Outgoing::LineSent, this, [this](quint64 tag) { lastSentTag_ = tag; });
}

ScriptHost::~ScriptHost() { Stop(); }

const QString& ScriptHost::DataFolder() const { return paths_.scriptDataFolder; }

Watchdog& ScriptHost::Watch() {
    // Made with the first script: a bot without scripts runs no thread for them.
    if (!watchdog_) watchdog_ = std::make_unique<Watchdog>();
    return *watchdog_;
}

bool ScriptHost::LoggedIn() const { return loggedIn_ && connection_.Socket().IsConnected(); }

void ScriptHost::Start() {
    if (started_) return;
    started_ = true;
    Poll();
    poll_.start();
}

void ScriptHost::Stop() {
    poll_.stop();
    started_ = false;
    // In name order, as they were loaded.
    while (!entries_.empty()) {
        const QString name = entries_.begin()->first;
        if (entries_.begin()->second.script) {
            Unload(name);
        } else {
            entries_.erase(entries_.begin());
        }
    }
}

std::map<QString, ScriptHost::Seen> ScriptHost::Look() const {
    std::map<QString, Seen> found;
    const QDir folder(paths_.scriptsFolder);
    if (!folder.exists()) return found;
    const QFileInfoList files =
        folder.entryInfoList({QStringLiteral("*.js")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo& file : files) {
        Seen seen{file.size(), file.lastModified(), 0};
        struct stat status {};
        if (::stat(QFile::encodeName(file.filePath()).constData(), &status) == 0) {
            seen.inode = static_cast<quint64>(status.st_ino);
        }
        found[file.fileName()] = seen;
    }
    return found;
}

void ScriptHost::Poll() {
    const std::map<QString, Seen> now = Look();
    bool changed = false;
    // Gone first, then new or changed ones, each in name order.
    for (auto it = entries_.begin(); it != entries_.end();) {
        const QString name = it->first;
        ++it;
        if (now.count(name) == 0) {
            if (entries_[name].script) {
                Unload(name);
            } else {
                entries_.erase(name);
            }
            changed = true;
        }
    }
    for (const auto& [name, seen] : now) {
        const auto known = entries_.find(name);
        if (known != entries_.end() && known->second.seen == seen) continue;
        if (known != entries_.end() && known->second.script) Unload(name);
        Load(name, seen);
        changed = true;
    }
    if (changed) Q_EMIT StatesChanged();
}

void ScriptHost::Load(const QString& name, const Seen& seen) {
    Entry& entry = entries_[name];
    entry.seen = seen;
    entry.lastError.clear();
    auto script = std::make_unique<Script>(*this, name, QDir(paths_.scriptsFolder).filePath(name));
    if (!script->Load(factory_)) {
        entry.lastError = script->LastError();
        entry.script.reset();
        return;
    }
    entry.script = std::move(script);
    output_.AppendChat(QStringLiteral("Script ") % name % QStringLiteral(" loaded.") % kCrLf,
                       kGreen);
}

void ScriptHost::Unload(const QString& name) {
    const auto found = entries_.find(name);
    if (found == entries_.end()) return;
    const bool wasLoaded = found->second.script != nullptr;
    // Its timers, handlers and engine go with it; its store is written.
    entries_.erase(found);
    if (wasLoaded) {
        output_.AppendChat(QStringLiteral("Script ") % name % QStringLiteral(" unloaded.") % kCrLf,
                           kYellow);
    }
}

void ScriptHost::Reload(const QString& name) {
    const std::map<QString, Seen> now = Look();
    const auto file = now.find(name);
    if (entries_.count(name) && entries_[name].script) Unload(name);
    if (file != now.end()) Load(name, file->second);
    Q_EMIT StatesChanged();
}

QList<ScriptState> ScriptHost::States() const {
    QList<ScriptState> states;
    for (const auto& [name, entry] : entries_) {
        states.append({name, entry.script != nullptr,
                       entry.script ? entry.script->LastError() : entry.lastError});
    }
    return states;
}

std::optional<QString> ScriptHost::WordOwner(const QString& word) const {
    if (word.compare(QLatin1String(kScriptsWord), Qt::CaseInsensitive) == 0 ||
        commands_.IsBuiltInWord(word)) {
        return QStringLiteral("the bot");
    }
    for (const auto& [name, entry] : entries_) {
        if (entry.script && entry.script->HasWord(word)) return name;
    }
    return std::nullopt;
}

template <typename Call>
void ScriptHost::ForEachScript(Call call) {
    // Names first: a script's code never lets events run, but the list is not walked while it
    // may change all the same.
    std::vector<std::pair<QString, Script*>> scripts;
    for (const auto& [name, entry] : entries_) {
        if (entry.script) scripts.emplace_back(name, entry.script.get());
    }
    for (const auto& [name, script] : scripts) {
        const auto still = entries_.find(name);
        if (still == entries_.end() || still->second.script.get() != script) continue;
        call(*script);
    }
}

void ScriptHost::Hear(const ChannelEvent& event) {
    // The bot's own events keep their order with or without scripts: with none loaded, nothing
    // below runs but this test.
    if (event.kind == EventKind::kUniqueName) loggedIn_ = true;
    const bool wasLoggedIn = loggedIn_;
    if (event.kind == EventKind::kClosed) loggedIn_ = false;
    if (entries_.empty()) return;

    const auto fire = [this](ScriptEvent kind, const QVariantList& arguments) {
        ForEachScript([&](Script& script) { script.Fire(kind, arguments); });
    };
    const QString user = event.user.toString();
    switch (event.kind) {
        case EventKind::kTalk: {
            const QString text = event.text.toString();
            const int flags = FlagsValue(event.flags);
            const bool listed = users_.IsAuthorizedUser(event.user);
            ForEachScript([&](Script& script) { script.HearTalk(user, text, flags, listed); });
            return;
        }
        case EventKind::kEmote:
            fire(ScriptEvent::kEmote, {user, event.text.toString(), FlagsValue(event.flags)});
            return;
        case EventKind::kWhisperFrom:
            fire(ScriptEvent::kWhisper, {user, event.text.toString()});
            return;
        case EventKind::kJoin:
            fire(ScriptEvent::kJoin,
                 {user, FlagsValue(event.flags), ProductCode(event.product).toString()});
            return;
        case EventKind::kLeave:
            fire(ScriptEvent::kLeave, {user});
            return;
        case EventKind::kFlags:
            fire(ScriptEvent::kFlags, {user, FlagsValue(event.flags)});
            return;
        case EventKind::kChannel:
            fire(ScriptEvent::kChannel, {event.text.toString()});
            return;
        case EventKind::kInfo:
            fire(ScriptEvent::kInfo, {event.text.toString()});
            return;
        case EventKind::kError:
            fire(ScriptEvent::kError, {event.text.toString()});
            return;
        case EventKind::kUniqueName:
            fire(ScriptEvent::kConnected, {user});
            return;
        case EventKind::kClosed:
            if (wasLoggedIn) fire(ScriptEvent::kDisconnected, {});
            return;
        default:
            return;
    }
}

void ScriptHost::RunCommand(const CommandText& line, quint64 link) {
    if (!line.Is(QLatin1String(kScriptsWord))) return;
    QStringList loaded;
    for (const auto& [name, entry] : entries_) {
        if (entry.script) loaded.append(name);
    }
    outgoing_.SendChatText(
        loaded.isEmpty() ? QStringLiteral("Scripts: none.")
                         : QStringLiteral("Scripts: ") % loaded.join(QStringLiteral(", ")) % u'.',
        link);
}

QStringList ScriptHost::Words() const { return {QLatin1String(kScriptsWord)}; }

}  // namespace zarivok
