#pragma once

#include <QJSEngine>
#include <QJSValue>
#include <map>
#include <memory>

#include "scripts/ScriptRuntime.h"

namespace zarivok {

class NativeBot;

// One script's engine: Qt's JavaScript engine with the standard built-ins and the global `bot`,
// nothing else (no Qt object, no console, no modules: a script is a plain program, in which
// import is a syntax error). `bot` is a frozen object whose functions call the bot through a
// native object held in a closure, out of the script's reach.
class JsRuntime : public ScriptRuntime {
  public:
    explicit JsRuntime(ScriptServices& services);
    ~JsRuntime() override;

    std::optional<ScriptError> Load(const QString& source, const QString& fileName) override;
    std::optional<ScriptError> Call(int function, const QVariantList& arguments) override;
    void Forget(int function) override { functions_.erase(function); }
    void Interrupt() override { engine_.setInterrupted(true); }
    void Resume() override { engine_.setInterrupted(false); }

    // A script's function kept for later calls; its number.
    int Keep(const QJSValue& function);
    QJSEngine& Engine() { return engine_; }

  private:
    QJSEngine engine_;
    std::unique_ptr<NativeBot> native_;
    // Calls a function and catches what it throws, in JavaScript: whatever a script throws
    // (an Error, a string, an object whose toString throws) becomes a message and a stack.
    QJSValue invoke_;
    std::map<int, QJSValue> functions_;
    int nextFunction_ = 0;
    QString fileName_;
};

// Makes the engine of one script: the factory the bot is given.
std::unique_ptr<ScriptRuntime> MakeJsRuntime(ScriptServices& services);

}  // namespace zarivok
