#include "scriptengine/JsRuntime.h"

#include "scriptengine/NativeBot.h"

namespace zarivok {
namespace {

// Runs once in every engine, before the script. Strict, so that nothing the script is handed
// leads back to the native object through a function's caller or arguments; what it uses of
// the built-ins is taken before the script could replace them.
constexpr char kBootstrap[] = R"js(
(function (native) {
    'use strict';
    var apply = Reflect.apply, stringify = JSON.stringify, parse = JSON.parse;
    var freeze = Object.freeze, define = Object.defineProperty;
    var store = freeze({
        get: function (key) {
            var json = native.storeGet(key);
            return json === undefined ? undefined : parse(json)[0];
        },
        set: function (key, value) {
            var json = value === undefined ? undefined : stringify([value]);
            if (json === undefined || stringify(value) === undefined) {
                throw new TypeError('bot.store.set: the value must be a JSON value');
            }
            native.storeSet(key, json);
        },
        remove: function (key) { native.storeRemove(key); }
    });
    var bot = {
        on: function (event, handler) { native.on(event, handler); },
        command: function (word, handler, options) { native.command(word, handler, options); },
        say: function (text) { return native.say(text); },
        whisper: function (user, text) { return native.whisper(user, text); },
        kick: function (user, reason) { return native.kick(user, reason); },
        ban: function (user, reason) { return native.ban(user, reason); },
        users: function () { return native.users(); },
        isListed: function (name) { return native.isListed(name); },
        print: function (text) { native.print(text); },
        after: function (ms, fn) { return native.after(ms, fn); },
        every: function (ms, fn) { return native.every(ms, fn); },
        cancel: function (id) { native.cancel(id); },
        store: store
    };
    define(bot, 'name', { get: function () { return native.name(); }, enumerable: true });
    define(bot, 'channel', { get: function () { return native.channel(); }, enumerable: true });
    define(bot, 'trigger', { get: function () { return native.trigger(); }, enumerable: true });
    var invoke = function (fn, args) {
        try {
            apply(fn, undefined, args);
            return undefined;
        } catch (error) {
            var text = 'an exception', stack = '';
            try { text = String(error); } catch (ignored) {}
            try {
                if (error !== null && typeof error === 'object' && typeof error.stack === 'string') {
                    stack = error.stack;
                }
            } catch (ignored) {}
            return [text, stack];
        }
    };
    return [freeze(bot), invoke];
})
)js";

// The first frame of a stack that belongs to the script's own file: "fn@file:NAME:LINE" in a
// thrown error's stack, "fn:LINE:COLUMN:file:NAME" in what evaluate reports. Read by hand: a
// regular expression's compiled matcher reads past the text's end, which memcheck reports.
int LineIn(const QString& stack, const QString& fileName) {
    static const QString kThrown = QStringLiteral("@file:");
    static const QString kReported = QStringLiteral(":file:");
    for (const QString& frame : stack.split(u'\n')) {
        qsizetype at = frame.indexOf(kThrown);
        if (at >= 0) {
            const qsizetype colon = frame.lastIndexOf(u':');
            if (colon > at + kThrown.size() &&
                QStringView(frame).sliced(at + kThrown.size(), colon - at - kThrown.size()) ==
                    fileName) {
                return QStringView(frame).sliced(colon + 1).toInt();
            }
            continue;
        }
        at = frame.indexOf(kReported);
        if (at < 0 || QStringView(frame).sliced(at + kReported.size()) != fileName) continue;
        const QStringView head = QStringView(frame).first(at);
        const qsizetype column = head.lastIndexOf(u':');
        if (column <= 0) continue;
        const qsizetype line = head.first(column).lastIndexOf(u':');
        return head.sliced(line + 1, column - line - 1).toInt();
    }
    return 0;
}

}  // namespace

JsRuntime::JsRuntime(ScriptServices& services)
    : native_(std::make_unique<NativeBot>(*this, services)) {
    const QJSValue bootstrap =
        engine_.evaluate(QString::fromLatin1(kBootstrap), QStringLiteral("bot"));
    const QJSValue made = bootstrap.call({engine_.newQObject(native_.get())});
    engine_.globalObject().setProperty(QStringLiteral("bot"), made.property(0));
    invoke_ = made.property(1);
}

JsRuntime::~JsRuntime() = default;

int JsRuntime::Keep(const QJSValue& function) {
    functions_[++nextFunction_] = function;
    return nextFunction_;
}

std::optional<ScriptError> JsRuntime::Load(const QString& source, const QString& fileName) {
    fileName_ = fileName;
    QStringList trace;
    const QJSValue result = engine_.evaluate(source, fileName, 1, &trace);
    if (trace.isEmpty() && !result.isError()) return std::nullopt;
    return ScriptError{result.toString(), LineIn(trace.join(u'\n'), fileName), false};
}

std::optional<ScriptError> JsRuntime::Call(int function, const QVariantList& arguments) {
    const auto found = functions_.find(function);
    if (found == functions_.end()) return std::nullopt;
    // Held here: the function may cancel itself and be forgotten while it runs.
    const QJSValue callee = found->second;
    QJSValue list = engine_.newArray(static_cast<uint>(arguments.size()));
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        list.setProperty(static_cast<quint32>(i), engine_.toScriptValue(arguments[i]));
    }
    const QJSValue outcome = invoke_.call({callee, list});
    if (outcome.isUndefined()) return std::nullopt;
    if (outcome.isError()) return ScriptError{outcome.toString(), 0, false};
    return ScriptError{outcome.property(0).toString(),
                       LineIn(outcome.property(1).toString(), fileName_), false};
}

std::unique_ptr<ScriptRuntime> MakeJsRuntime(ScriptServices& services) {
    return std::make_unique<JsRuntime>(services);
}

}  // namespace zarivok
