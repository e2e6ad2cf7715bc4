#include "web/WebActions.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QTimer>
#include <functional>

#include "base/ListFile.h"
#include "bot/Bot.h"
#include "channel/RosterModel.h"
#include "commands/DatabaseEditor.h"
#include "commands/Moderation.h"
#include "connection/Connection.h"
#include "connection/Outgoing.h"
#include "display/WhisperLogPort.h"
#include "protection/BanList.h"
#include "protection/ChannelGuard.h"
#include "protection/ProtectionFiles.h"
#include "protection/ProtectionSettings.h"
#include "scripts/ScriptHost.h"
#include "settings/Settings.h"
#include "web/JsonText.h"

namespace zarivok {
namespace {

struct ModerationItem {
    const char* name;
    void (Moderation::*action)();
};
constexpr ModerationItem kModerationItems[] = {
    {"ban", &Moderation::BanUser},
    {"kick", &Moderation::KickUser},
    {"designate", &Moderation::DesignateUser},
    {"squelch", &Moderation::SquelchUser},
    {"unsquelch", &Moderation::UnsquelchUser},
    {"add", &Moderation::AddPickedUserToDatabase},
    {"remove", &Moderation::RemovePickedUserFromDatabase},
};

// A member that is not a string makes the whole request a bad one: a page that sent a number
// where a text belongs has a fault worth seeing, not a silent empty text.
std::optional<QString> StringMember(const QJsonObject& body, const char* key) {
    const QJsonValue value = body.value(QLatin1String(key));
    if (!value.isString()) return std::nullopt;
    return value.toString();
}

// A form's texts as the page sends and gets them, in the order of the window's dialog: the
// switches ("0"/"1" in the file) are check boxes, true or false.
template <typename Texts>
struct FormField {
    const char* key;
    QString Texts::*text;
    bool isSwitch;
};

constexpr FormField<SettingsTexts> kConfigFields[] = {
    {"user", &SettingsTexts::user, false},
    {"pass", &SettingsTexts::pass, false},
    {"server", &SettingsTexts::server, false},
    {"home", &SettingsTexts::home, false},
    {"trigger", &SettingsTexts::trigger, false},
    {"reconnect", &SettingsTexts::reconnect, false},
    {"idleMsg", &SettingsTexts::idleMsg, false},
    {"enableAutoClear", &SettingsTexts::enableAutoClear, true},
    {"autoClearAtLine", &SettingsTexts::autoClearAtLine, false},
    {"enableNotifications", &SettingsTexts::enableNotifications, true},
};

constexpr FormField<ProtectionTexts> kProtectionFields[] = {
    {"greetingEnabled", &ProtectionTexts::greetEnabled, true},
    {"greeting", &ProtectionTexts::greetText, false},
    {"lockdownEnabled", &ProtectionTexts::lockdownEnabled, true},
    {"lockdownReason", &ProtectionTexts::lockdownReason, false},
    {"phrasesEnabled", &ProtectionTexts::phrasesEnabled, true},
    {"phrasesAction", &ProtectionTexts::phrasesAction, false},
    {"phrasesReason", &ProtectionTexts::phrasesReason, false},
    {"floodEnabled", &ProtectionTexts::floodEnabled, true},
    {"floodLines", &ProtectionTexts::floodLines, false},
    {"floodSeconds", &ProtectionTexts::floodSeconds, false},
    {"floodAction", &ProtectionTexts::floodAction, false},
    {"floodReason", &ProtectionTexts::floodReason, false},
};

// Every field must be there with its kind: false for a body that does not fit the form.
template <typename Texts, std::size_t N>
bool ReadForm(const QJsonObject& body, const FormField<Texts> (&fields)[N], Texts& texts) {
    for (const FormField<Texts>& field : fields) {
        const QJsonValue value = body.value(QLatin1String(field.key));
        if (field.isSwitch ? !value.isBool() : !value.isString()) return false;
        texts.*field.text = field.isSwitch ? SwitchText(value.toBool()) : value.toString();
    }
    return true;
}

template <typename Texts, std::size_t N>
QJsonObject FormJson(const Texts& texts, const FormField<Texts> (&fields)[N]) {
    QJsonObject form;
    for (const FormField<Texts>& field : fields) {
        const QString& text = texts.*field.text;
        form.insert(QLatin1String(field.key),
                    field.isSwitch ? QJsonValue(SwitchIsOn(text)) : QJsonValue(text));
    }
    return form;
}

}  // namespace

WebActions::WebActions(Bot& bot, QObject* parent) : QObject(parent), bot_(bot) {}

void WebActions::Later(std::function<void()> action) {
    QTimer::singleShot(0, this, std::move(action));
}

WebActions::Outcome WebActions::Run(const QString& name, const QJsonObject& body) {
    if (name == QLatin1String("send")) {
        const auto text = StringMember(body, "text");
        if (!text) return Outcome::kBadBody;
        Later([this, text = *text] { bot_.SendInputLine(text); });
        return Outcome::kQueued;
    }
    if (name == QLatin1String("whisper")) {
        const auto user = StringMember(body, "name");
        const auto text = StringMember(body, "text");
        if (!user || !text) return Outcome::kBadBody;
        Later([this, user = *user, text = *text] {
            bot_.PickUser(user);
            bot_.WhisperPickedUser(text);
        });
        return Outcome::kQueued;
    }
    if (name == QLatin1String("pick")) {
        const auto user = StringMember(body, "name");
        if (!user) return Outcome::kBadBody;
        Later([this, user = *user] { bot_.PickUser(user); });
        return Outcome::kQueued;
    }
    if (name == QLatin1String("moderate")) {
        const auto item = StringMember(body, "item");
        const auto user = StringMember(body, "name");
        if (!item || !user) return Outcome::kBadBody;
        for (const ModerationItem& known : kModerationItems) {
            if (*item != QLatin1String(known.name)) continue;
            Later([this, user = *user, action = known.action] {
                bot_.PickUser(user);
                (bot_.Moderate().*action)();
            });
            return Outcome::kQueued;
        }
        return Outcome::kBadBody;
    }
    if (name == QLatin1String("connect")) {
        Later([this] { bot_.GetConnection().ConnectMenuClick(); });
        return Outcome::kQueued;
    }
    if (name == QLatin1String("reconnect")) {
        Later([this] { bot_.GetConnection().ReconnectMenuClick(); });
        return Outcome::kQueued;
    }
    if (name == QLatin1String("option")) {
        const auto option = StringMember(body, "name");
        if (option == QLatin1String("notifications")) {
            Later([this] { bot_.ClickNotifications(); });
        } else if (option == QLatin1String("autoClear")) {
            Later([this] { bot_.ClickAutoClear(); });
        } else {
            return Outcome::kBadBody;
        }
        return Outcome::kQueued;
    }
    if (name == QLatin1String("database")) {
        const auto text = StringMember(body, "text");
        if (!text) return Outcome::kBadBody;
        Later([this, text = *text] {
            DatabaseEditor editor(bot_.Paths(), bot_.UserList(), bot_.Output());
            // The editor refuses to save over a file it could not read; reading it first is
            // what the window does when it opens.
            editor.Load();
            editor.Save(text);
        });
        return Outcome::kQueued;
    }
    if (name == QLatin1String("config")) {
        SettingsTexts texts;
        if (!ReadForm(body, kConfigFields, texts)) return Outcome::kBadBody;
        Later([this, texts] {
            bot_.WriteSettingsFile(texts.user, texts.pass, texts.server, texts.home, texts.trigger,
                                   texts.reconnect, texts.idleMsg, texts.enableAutoClear,
                                   texts.autoClearAtLine, texts.enableNotifications);
        });
        return Outcome::kQueued;
    }
    if (name == QLatin1String("clearWhispers")) {
        if (!bot_.GetWhisperLog()) return Outcome::kUnknown;
        Later([this] {
            if (WhisperLogPort* log = bot_.GetWhisperLog()) log->ClearWhispers();
        });
        return Outcome::kQueued;
    }
    if (name == QLatin1String("reloadScript")) {
        const auto script = StringMember(body, "name");
        if (!script) return Outcome::kBadBody;
        Later([this, script = *script] { bot_.Scripts().Reload(script); });
        return Outcome::kQueued;
    }
    if (name == QLatin1String("protection")) {
        ProtectionTexts texts;
        if (!ReadForm(body, kProtectionFields, texts)) return Outcome::kBadBody;
        const auto banList = StringMember(body, "banList");
        const auto phrases = StringMember(body, "phrases");
        if (!banList || !phrases) return Outcome::kBadBody;
        Later([this, texts, banList = *banList, phrases = *phrases] {
            bot_.Guard().Save(texts, banList, phrases);
        });
        return Outcome::kQueued;
    }
    return Outcome::kUnknown;
}

std::optional<QJsonObject> WebActions::Complete(const QJsonObject& body) {
    const auto text = StringMember(body, "text");
    const QJsonValue cursor = body.value(QLatin1String("cursor"));
    if (!text || !cursor.isDouble()) return std::nullopt;
    const auto completed = completer_.Complete(*text, cursor.toInteger(), bot_.Roster().Names());
    if (!completed) return std::nullopt;
    return QJsonObject{{QStringLiteral("text"), completed->text},
                       {QStringLiteral("cursor"), completed->cursor}};
}

std::optional<QJsonObject> WebActions::Query(const QString& name) {
    if (name == QLatin1String("database")) {
        QString text = DatabaseEditor(bot_.Paths(), bot_.UserList(), bot_.Output()).Load();
        // The editor's pane separates lines with U+2029; a browser's text area with LF.
        text.replace(QChar::ParagraphSeparator, u'\n');
        return QJsonObject{{QStringLiteral("text"), text}};
    }
    if (name == QLatin1String("config")) {
        return FormJson(ReadSettingsTexts(bot_.Paths().configFile), kConfigFields);
    }
    if (name == QLatin1String("history")) {
        return QJsonObject{
            {QStringLiteral("lines"), QJsonArray::fromStringList(bot_.History().Lines())}};
    }
    if (name == QLatin1String("whispers")) {
        WhisperLogPort* log = bot_.GetWhisperLog();
        if (!log) return std::nullopt;
        QJsonArray runs;
        for (const RtfRun& run : log->WhisperRuns()) {
            runs.append(QJsonArray{run.text, CssColour(run.colour)});
        }
        return QJsonObject{{QStringLiteral("runs"), runs}};
    }
    if (name == QLatin1String("scripts")) {
        QJsonArray scripts;
        for (const ScriptState& state : bot_.Scripts().States()) {
            scripts.append(QJsonObject{{QStringLiteral("name"), state.name},
                                       {QStringLiteral("loaded"), state.loaded},
                                       {QStringLiteral("lastError"), state.lastError}});
        }
        return QJsonObject{{QStringLiteral("scripts"), scripts}};
    }
    if (name == QLatin1String("protection")) {
        const ProtectionFiles files = bot_.Guard().ReadForEditing();
        const ProtectionSettings applied = ParseProtectionTexts(files.texts, QString()).settings;
        QJsonObject answer = FormJson(files.texts, kProtectionFields);
        // An empty action shows the one the bot takes for it, as the dialog does.
        if (files.texts.phrasesAction.isEmpty()) {
            answer.insert(QStringLiteral("phrasesAction"), ActionText(applied.phrasesAction));
        }
        if (files.texts.floodAction.isEmpty()) {
            answer.insert(QStringLiteral("floodAction"), ActionText(applied.floodAction));
        }
        answer.insert(QStringLiteral("banList"), JoinListLines(BanList::ToLines(files.bans)));
        answer.insert(QStringLiteral("phrases"), JoinListLines(files.phrases));
        return answer;
    }
    return std::nullopt;
}

}  // namespace zarivok
