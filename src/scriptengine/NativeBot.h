#pragma once

#include <QJSValue>
#include <QObject>
#include <QString>

#include "scripts/ScriptRuntime.h"

namespace zarivok {

class JsRuntime;

// The functions behind a script's `bot` object. Scripts never see this object: the frozen
// `bot` they get calls it from a closure. Every argument is checked here, and a wrong one
// throws a TypeError in the script instead of reaching the bot.
class NativeBot : public QObject {
    Q_OBJECT
  public:
    NativeBot(JsRuntime& runtime, ScriptServices& services);

    Q_INVOKABLE void on(const QJSValue& event, const QJSValue& handler);
    Q_INVOKABLE void command(const QJSValue& word, const QJSValue& handler,
                             const QJSValue& options);
    Q_INVOKABLE QJSValue say(const QJSValue& text);
    Q_INVOKABLE QJSValue whisper(const QJSValue& user, const QJSValue& text);
    Q_INVOKABLE QJSValue kick(const QJSValue& user, const QJSValue& reason);
    Q_INVOKABLE QJSValue ban(const QJSValue& user, const QJSValue& reason);
    Q_INVOKABLE QJSValue users();
    Q_INVOKABLE QJSValue isListed(const QJSValue& name);
    Q_INVOKABLE void print(const QJSValue& text);
    Q_INVOKABLE QJSValue after(const QJSValue& ms, const QJSValue& function);
    Q_INVOKABLE QJSValue every(const QJSValue& ms, const QJSValue& function);
    Q_INVOKABLE void cancel(const QJSValue& id);
    Q_INVOKABLE QString name();
    Q_INVOKABLE QString channel();
    Q_INVOKABLE QString trigger();
    // The store's values go both ways as JSON text: the script's side turns them into values.
    Q_INVOKABLE QJSValue storeGet(const QJSValue& key);
    Q_INVOKABLE void storeSet(const QJSValue& key, const QJSValue& json);
    Q_INVOKABLE void storeRemove(const QJSValue& key);

  private:
    // False (and a TypeError thrown) when value is not a text.
    bool IsText(const QJSValue& value, const char* what);
    // A text, or undefined for none; false (and a TypeError thrown) for anything else.
    bool IsTextOrNothing(const QJSValue& value, const char* what);
    bool IsFunction(const QJSValue& value, const char* what);
    QJSValue Timer(const QJSValue& ms, const QJSValue& function, bool repeat, const char* what);
    void Throw(const ScriptFailure& failure);
    void ThrowType(const QString& message);

    JsRuntime& runtime_;
    ScriptServices& services_;
};

}  // namespace zarivok
