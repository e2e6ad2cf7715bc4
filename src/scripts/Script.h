#pragma once

#include <QString>
#include <QTimer>
#include <QVariantList>
#include <deque>
#include <map>
#include <memory>

#include "scripts/ScriptEvent.h"
#include "scripts/ScriptRuntime.h"
#include "scripts/ScriptStore.h"

namespace zarivok {

class ScriptHost;

// One script as the bot keeps it: its engine, what it registered (handlers and commands, in the
// order it registered them), its timers, its store, and its lines waiting to be sent. Everything
// it asks for passes here, and every call into its code goes through the watchdog.
class Script : public ScriptServices {
  public:
    // At most this many of a script's lines wait in the send queue: a script in a loop never
    // keeps the bot from answering anyone else for long.
    static constexpr qsizetype kMaxWaitingLines = 20;
    static constexpr int kShortestTimerMs = 100;
    // A script that fails on every line writes at most one red line in this time.
    static constexpr qint64 kReportIntervalMs = 1000;

    Script(ScriptHost& host, QString name, QString path);
    ~Script() override;

    const QString& Name() const { return name_; }
    // Reads the file and runs it; false (said in red) when the script could not load.
    bool Load(const ScriptRuntimeFactory& factory);
    // The last problem said for this script, for the front ends' list.
    const QString& LastError() const { return lastError_; }

    // An event for the script's handlers of that kind, with its arguments.
    void Fire(ScriptEvent event, const QVariantList& arguments);
    // A talk line: the talk handlers, and a command the line holds, in registration order.
    // listed: whether the speaker may use the bot's commands.
    void HearTalk(const QString& user, const QString& text, int flags, bool listed);
    // Whether the script registered the command word (in any letter case).
    bool HasWord(const QString& word) const;

    // ScriptServices
    std::optional<ScriptFailure> On(const QString& event, int function) override;
    std::optional<ScriptFailure> Command(const QString& word, int function, bool anyone) override;
    bool Say(const QString& text) override;
    bool Whisper(const QString& user, const QString& text) override;
    bool Kick(const QString& user, const QString& reason) override;
    bool Ban(const QString& user, const QString& reason) override;
    QString BotName() const override;
    QString Channel() const override;
    QString Trigger() const override;
    QList<ScriptUser> Users() const override;
    bool IsListed(const QString& name) const override;
    void Print(const QString& text) override;
    std::optional<ScriptFailure> StartTimer(int ms, int function, bool repeat, int* id) override;
    void CancelTimer(int id) override;
    std::optional<QJsonValue> StoreGet(const QString& key) const override;
    std::optional<ScriptFailure> StoreSet(const QString& key, const QJsonValue& value) override;
    void StoreRemove(const QString& key) override;

  private:
    struct Hook {
        // An event's handler, or a command (word not empty).
        ScriptEvent event = ScriptEvent::kTalk;
        QString word;
        bool anyone = false;
        int function = 0;
    };
    struct Timer {
        std::unique_ptr<QTimer> timer;
        int function = 0;
        bool repeat = false;
    };

    // One call into the script's code, watched; a failure is said.
    void Run(int function, const QVariantList& arguments);
    void Report(const std::optional<ScriptError>& error);
    void SayRed(const QString& line);
    bool Send(const QString& line);
    qsizetype WaitingLines();
    void TimerFired(int id);

    ScriptHost& host_;
    QString name_;
    QString path_;
    std::unique_ptr<ScriptStore> store_;
    std::unique_ptr<ScriptRuntime> runtime_;
    std::vector<Hook> hooks_;
    std::map<int, Timer> timers_;
    int nextTimer_ = 0;
    // The tags of this script's lines that may still wait in the send queue.
    std::deque<quint64> tags_;
    qint64 lastReportMs_ = -kReportIntervalMs;
    QString lastError_;
};

}  // namespace zarivok
