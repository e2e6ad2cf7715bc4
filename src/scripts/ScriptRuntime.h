#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

namespace zarivok {

// What a script's code is told when the bot refuses what it asked: the JavaScript error it
// throws, of the kind JavaScript would throw for it.
struct ScriptFailure {
    enum class Kind { kError, kTypeError, kRangeError };
    Kind kind = Kind::kError;
    QString message;
};

// What went wrong while a script's code ran: an uncaught exception (its text as JavaScript's
// String(error) gives it, and the script's line it came from), or the watchdog's interruption.
struct ScriptError {
    QString message;
    int line = 0;
    bool interrupted = false;
};

// One user of the channel as a script sees it.
struct ScriptUser {
    QString name;
    int flags = 0;
    QString product;
};

// What a script may ask of the bot: the functions of its `bot` object. The script's functions
// are known here by number; the runtime keeps them.
class ScriptServices {
  public:
    virtual ~ScriptServices() = default;

    virtual std::optional<ScriptFailure> On(const QString& event, int function) = 0;
    virtual std::optional<ScriptFailure> Command(const QString& word, int function,
                                                 bool anyone) = 0;
    // Each true when its line was sent or queued.
    virtual bool Say(const QString& text) = 0;
    virtual bool Whisper(const QString& user, const QString& text) = 0;
    virtual bool Kick(const QString& user, const QString& reason) = 0;
    virtual bool Ban(const QString& user, const QString& reason) = 0;
    // bot.name: the bot's own name.
    virtual QString BotName() const = 0;
    virtual QString Channel() const = 0;
    virtual QString Trigger() const = 0;
    virtual QList<ScriptUser> Users() const = 0;
    virtual bool IsListed(const QString& name) const = 0;
    virtual void Print(const QString& text) = 0;
    // A timer's id, or why there is none.
    virtual std::optional<ScriptFailure> StartTimer(int ms, int function, bool repeat, int* id) = 0;
    virtual void CancelTimer(int id) = 0;
    virtual std::optional<QJsonValue> StoreGet(const QString& key) const = 0;
    virtual std::optional<ScriptFailure> StoreSet(const QString& key, const QJsonValue& value) = 0;
    virtual void StoreRemove(const QString& key) = 0;
};

// One script's JavaScript engine, made when the script loads and dropped when it unloads. It
// only runs the script's code; everything the bot decides about scripts is decided by the host.
class ScriptRuntime {
  public:
    virtual ~ScriptRuntime() = default;

    // Runs the script's source once: it registers its handlers through the services.
    virtual std::optional<ScriptError> Load(const QString& source, const QString& fileName) = 0;
    // Calls one of the script's functions with texts and numbers.
    virtual std::optional<ScriptError> Call(int function, const QVariantList& arguments) = 0;
    // A function that will not be called again (a cancelled or finished timer).
    virtual void Forget(int function) = 0;
    // From any thread: stop the code running now. Resume lets the next call run.
    virtual void Interrupt() = 0;
    virtual void Resume() = 0;
};

// Makes the runtime of one script. The program loads the engine only when the first script
// does, so a bot without scripts never carries it.
using ScriptRuntimeFactory = std::function<std::unique_ptr<ScriptRuntime>(ScriptServices&)>;

}  // namespace zarivok
