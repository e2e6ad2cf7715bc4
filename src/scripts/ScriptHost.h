#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "channel/ChannelEvent.h"
#include "commands/CommandSet.h"
#include "scripts/ScriptRuntime.h"
#include "scripts/Watchdog.h"

namespace zarivok {

class ChatOutput;
class CommandInterpreter;
class Connection;
class Outgoing;
class RosterModel;
class Script;
class UserDatabase;
struct ProfilePaths;
struct Settings;

// A script as the front ends list it.
struct ScriptState {
    QString name;
    bool loaded = false;
    // The last problem said for it: why it failed, or what its code threw last.
    QString lastError;
};

// The operator's scripts: every file ending in ".js" in the profile's scripts folder, loaded in
// name order, each in an engine of its own, and each loaded, reloaded or unloaded alone when
// its file is added, changed or removed. It hears the events of the channel after the bot's own
// parts and hands them to the scripts' handlers, in the order the scripts were loaded and their
// handlers registered; it answers the scripts command.
class ScriptHost : public QObject, public ChannelListener, public CommandSet {
    Q_OBJECT
  public:
    // How often the folder is looked at: a change is taken up within two of these.
    static constexpr int kPollMs = 1000;

    // What the scripts read of the bot and act through.
    struct Parts {
        const ProfilePaths& paths;
        ChatOutput& output;
        Connection& connection;
        Outgoing& outgoing;
        const RosterModel& roster;
        const UserDatabase& users;
        const CommandInterpreter& commands;
        const Settings& settings;
        const QString& ownName;
        const QString& channel;
    };

    explicit ScriptHost(const Parts& parts);
    ~ScriptHost() override;

    // What makes a script's engine; without one, no script can load (each says so).
    void SetRuntimeFactory(ScriptRuntimeFactory factory) { factory_ = std::move(factory); }
    // Loads the scripts there are, in name order, and watches the folder from now on.
    void Start();
    bool Started() const { return started_; }
    // Unloads everything (each store is written) and stops watching: the program is ending.
    void Stop();

    // Loads a script's file again (the front ends' Reload), or for the first time.
    void Reload(const QString& name);
    // Every script of the folder, loaded or not, in name order.
    QList<ScriptState> States() const;

    void Hear(const ChannelEvent& event) override;
    void RunCommand(const CommandText& line, quint64 link) override;
    QStringList Words() const override;

    // For the scripts.
    ChatOutput& Output() { return output_; }
    Outgoing& GetOutgoing() { return outgoing_; }
    Connection& GetConnection() { return connection_; }
    const RosterModel& Roster() const { return roster_; }
    const UserDatabase& UserList() const { return users_; }
    const Settings& GetSettings() const { return settings_; }
    const QString& OwnName() const { return ownName_; }
    const QString& CurrentChannel() const { return channel_; }
    const QString& DataFolder() const;
    Watchdog& Watch();
    // Logged in on a connection that is open: only then do a script's actions send anything.
    bool LoggedIn() const;
    // The script that registered word (in any letter case), or the bot itself ("the bot"), if
    // anybody did.
    std::optional<QString> WordOwner(const QString& word) const;
    // The latest line the send queue let out, by its tag.
    quint64 LastSentTag() const { return lastSentTag_; }

  Q_SIGNALS:
    // A script was loaded, unloaded or failed.
    void StatesChanged();

  private:
    // The file's size, change time and identity: a new one means the script changed.
    struct Seen {
        qint64 size = -1;
        QDateTime modified;
        quint64 inode = 0;
        bool operator==(const Seen&) const = default;
    };
    struct Entry {
        Seen seen;
        std::unique_ptr<Script> script;  // none: it failed to load
        QString lastError;
    };

    void Poll();
    std::map<QString, Seen> Look() const;
    void Load(const QString& name, const Seen& seen);
    void Unload(const QString& name);
    // Each loaded script, in name order, for one event; one unloaded meanwhile is skipped.
    template <typename Call>
    void ForEachScript(Call call);

    const ProfilePaths& paths_;
    ChatOutput& output_;
    Connection& connection_;
    Outgoing& outgoing_;
    const RosterModel& roster_;
    const UserDatabase& users_;
    const CommandInterpreter& commands_;
    const Settings& settings_;
    const QString& ownName_;
    const QString& channel_;
    ScriptRuntimeFactory factory_;
    std::unique_ptr<Watchdog> watchdog_;
    // By file name, which is also the load order.
    std::map<QString, Entry> entries_;
    QTimer poll_;
    bool started_ = false;
    bool loggedIn_ = false;
    quint64 lastSentTag_ = 0;
};

}  // namespace zarivok
