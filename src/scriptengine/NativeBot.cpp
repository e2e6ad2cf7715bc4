#include "scriptengine/NativeBot.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>
#include <limits>

#include "scriptengine/JsRuntime.h"
#include "scripts/ScriptRuntime.h"

namespace zarivok {

NativeBot::NativeBot(JsRuntime& runtime, ScriptServices& services)
    : runtime_(runtime), services_(services) {}

void NativeBot::ThrowType(const QString& message) {
    runtime_.Engine().throwError(QJSValue::TypeError, message);
}

void NativeBot::Throw(const ScriptFailure& failure) {
    switch (failure.kind) {
        case ScriptFailure::Kind::kTypeError:
            runtime_.Engine().throwError(QJSValue::TypeError, failure.message);
            return;
        case ScriptFailure::Kind::kRangeError:
            runtime_.Engine().throwError(QJSValue::RangeError, failure.message);
            return;
        case ScriptFailure::Kind::kError:
            runtime_.Engine().throwError(QJSValue::GenericError, failure.message);
            return;
    }
}

bool NativeBot::IsText(const QJSValue& value, const char* what) {
    if (value.isString()) return true;
    ThrowType(QStringLiteral("%1 must be a text").arg(QLatin1String(what)));
    return false;
}

bool NativeBot::IsTextOrNothing(const QJSValue& value, const char* what) {
    return value.isUndefined() || IsText(value, what);
}

bool NativeBot::IsFunction(const QJSValue& value, const char* what) {
    if (value.isCallable()) return true;
    ThrowType(QStringLiteral("%1 must be a function").arg(QLatin1String(what)));
    return false;
}

void NativeBot::on(const QJSValue& event, const QJSValue& handler) {
    if (!IsText(event, "bot.on: the event") || !IsFunction(handler, "bot.on: the handler")) return;
    const int function = runtime_.Keep(handler);
    if (const auto failure = services_.On(event.toString(), function)) {
        runtime_.Forget(function);
        Throw(*failure);
    }
}

void NativeBot::command(const QJSValue& word, const QJSValue& handler, const QJSValue& options) {
    if (!IsText(word, "bot.command: the word") ||
        !IsFunction(handler, "bot.command: the handler")) {
        return;
    }
    if (!options.isUndefined() && !options.isNull() && !options.isObject()) {
        ThrowType(QStringLiteral("bot.command: the options must be an object"));
        return;
    }
    const bool anyone = options.isObject() && options.property(QStringLiteral("anyone")).toBool();
    const int function = runtime_.Keep(handler);
    if (const auto failure = services_.Command(word.toString(), function, anyone)) {
        runtime_.Forget(function);
        Throw(*failure);
    }
}

QJSValue NativeBot::say(const QJSValue& text) {
    if (!IsText(text, "bot.say: the text")) return {};
    return services_.Say(text.toString());
}

QJSValue NativeBot::whisper(const QJSValue& user, const QJSValue& text) {
    if (!IsText(user, "bot.whisper: the user") || !IsText(text, "bot.whisper: the text")) return {};
    return services_.Whisper(user.toString(), text.toString());
}

QJSValue NativeBot::kick(const QJSValue& user, const QJSValue& reason) {
    if (!IsText(user, "bot.kick: the user") || !IsTextOrNothing(reason, "bot.kick: the reason")) {
        return {};
    }
    return services_.Kick(user.toString(), reason.isUndefined() ? QString() : reason.toString());
}

QJSValue NativeBot::ban(const QJSValue& user, const QJSValue& reason) {
    if (!IsText(user, "bot.ban: the user") || !IsTextOrNothing(reason, "bot.ban: the reason")) {
        return {};
    }
    return services_.Ban(user.toString(), reason.isUndefined() ? QString() : reason.toString());
}

QJSValue NativeBot::users() {
    QJSEngine& engine = runtime_.Engine();
    const QList<ScriptUser> users = services_.Users();
    QJSValue array = engine.newArray(static_cast<uint>(users.size()));
    for (qsizetype i = 0; i < users.size(); ++i) {
        QJSValue user = engine.newObject();
        user.setProperty(QStringLiteral("name"), users[i].name);
        user.setProperty(QStringLiteral("flags"), users[i].flags);
        user.setProperty(QStringLiteral("product"), users[i].product);
        array.setProperty(static_cast<quint32>(i), user);
    }
    return array;
}

QJSValue NativeBot::isListed(const QJSValue& name) {
    if (!IsText(name, "bot.isListed: the name")) return {};
    return services_.IsListed(name.toString());
}

void NativeBot::print(const QJSValue& text) {
    if (IsText(text, "bot.print: the text")) services_.Print(text.toString());
}

QJSValue NativeBot::Timer(const QJSValue& ms, const QJSValue& function, bool repeat,
                          const char* what) {
    if (!ms.isNumber() || !std::isfinite(ms.toNumber())) {
        ThrowType(QStringLiteral("%1: the interval must be a number of milliseconds")
                      .arg(QLatin1String(what)));
        return {};
    }
    if (!IsFunction(function, what)) return {};
    // Longer than a timer can wait is as good as never; shorter ones are refused below.
    const double wanted = std::min<double>(ms.toNumber(), std::numeric_limits<int>::max());
    const int kept = runtime_.Keep(function);
    int id = 0;
    if (const auto failure =
            services_.StartTimer(static_cast<int>(std::floor(wanted)), kept, repeat, &id)) {
        runtime_.Forget(kept);
        Throw(*failure);
        return {};
    }
    return id;
}

QJSValue NativeBot::after(const QJSValue& ms, const QJSValue& function) {
    return Timer(ms, function, false, "bot.after");
}

QJSValue NativeBot::every(const QJSValue& ms, const QJSValue& function) {
    return Timer(ms, function, true, "bot.every");
}

void NativeBot::cancel(const QJSValue& id) {
    if (!id.isNumber()) {
        ThrowType(QStringLiteral("bot.cancel: the id must be a number"));
        return;
    }
    const double number = id.toNumber();
    if (number >= 1 && number <= std::numeric_limits<int>::max()) {
        services_.CancelTimer(static_cast<int>(number));
    }
}

QString NativeBot::name() { return services_.BotName(); }
QString NativeBot::channel() { return services_.Channel(); }
QString NativeBot::trigger() { return services_.Trigger(); }

QJSValue NativeBot::storeGet(const QJSValue& key) {
    if (!IsText(key, "bot.store.get: the key")) return {};
    const std::optional<QJsonValue> value = services_.StoreGet(key.toString());
    if (!value) return {};
    // One value in an array, so that any JSON value (a number, a text) is a document.
    return QString::fromUtf8(QJsonDocument(QJsonArray{*value}).toJson(QJsonDocument::Compact));
}

void NativeBot::storeSet(const QJSValue& key, const QJSValue& json) {
    if (!IsText(key, "bot.store.set: the key") || !json.isString()) return;
    const QJsonDocument document = QJsonDocument::fromJson(json.toString().toUtf8());
    if (!document.isArray() || document.array().size() != 1) return;
    if (const auto failure = services_.StoreSet(key.toString(), document.array().first())) {
        Throw(*failure);
    }
}

void NativeBot::storeRemove(const QJSValue& key) {
    if (IsText(key, "bot.store.remove: the key")) services_.StoreRemove(key.toString());
}

}  // namespace zarivok
