#include "settings/Settings.h"

#include <optional>

#include "settings/IniFile.h"

namespace zarivok {

std::optional<qint64> ParseWholeNumber(QStringView text) {
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    if (text.isEmpty()) return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        // Far beyond every range asked for; stopping here keeps the sum from overflowing.
        if (value > 1'000'000'000) return std::nullopt;
    }
    return negative ? -value : value;
}

namespace {

QString SettingProblem(const char* key, const QString& value, qint64 lowest, qint64 highest,
                       const QString& fallback) {
    if (value.isEmpty()) {
        return QStringLiteral("Config.ini: \"%1\" is missing; using %2.")
            .arg(QLatin1String(key), fallback);
    }
    return QStringLiteral(
               "Config.ini: \"%1\" is \"%2\", not a whole number from %3 to %4; using %5.")
        .arg(QLatin1String(key), value, QString::number(lowest), QString::number(highest),
             fallback);
}

// Reads one numeric value; on a missing or bad one adds the problem text to problems and
// returns std::nullopt, leaving the fallback to the caller.
std::optional<qint64> ReadNumber(const char* key, const QString& text, qint64 lowest,
                                 qint64 highest, const QString& fallback, QStringList& problems) {
    const std::optional<qint64> number = ParseWholeNumber(text);
    if (number && *number >= lowest && *number <= highest) return number;
    problems.append(SettingProblem(key, text, lowest, highest, fallback));
    return std::nullopt;
}

int ReadShort(const char* key, const QString& text, int fallback, QStringList& problems) {
    const std::optional<qint64> number =
        ReadNumber(key, text, -32768, 32767, QString::number(fallback), problems);
    return number ? static_cast<int>(*number) : fallback;
}

constexpr char kReconnect[] = "Reconnect";
constexpr char kEnableAutoClear[] = "Enable AutoClear";
constexpr char kAutoClearAtLine[] = "AutoClear At Line";
constexpr char kEnableNotifications[] = "Enable Notifications";

}  // namespace

SettingsTexts ReadSettingsTexts(const QString& configPath) {
    return ReadSettingsTexts(IniFile::Load(configPath));
}

SettingsTexts ReadSettingsTexts(const IniFile& ini) {
    const auto login = [&ini](const char* key) {
        return ini.Value(QStringLiteral("Login"), QLatin1String(key));
    };
    const auto options = [&ini](const char* key) {
        return ini.Value(QStringLiteral("Options"), QLatin1String(key));
    };
    return {login("User"),
            login("Pass"),
            login("Server"),
            login("Home"),
            options("Trigger"),
            options(kReconnect),
            options("IdleMsg"),
            options(kEnableAutoClear),
            options(kAutoClearAtLine),
            options(kEnableNotifications)};
}

int ReconnectIntervalMs(const Settings& settings) {
    // Read as the loader read the text when it took it: QString::toInt, for one, refuses the
    // no-break space that the loader allows around the digits, and would give 0, a timer that
    // never ticks.
    const std::optional<qint64> ms = ParseWholeNumber(settings.strReconnect);
    return ms && *ms >= 0 && *ms <= 65535 ? static_cast<int>(*ms) : 0;
}

bool SwitchIsOn(const QString& value) { return ParseWholeNumber(value) == 1; }

QString SwitchText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

QStringList LoadSettings(const QString& configPath, Settings& settings) {
    return LoadSettings(ReadSettingsTexts(configPath), settings);
}

QStringList LoadSettings(const SettingsTexts& texts, Settings& settings) {
    QStringList problems;

    settings.strUser = texts.user;
    settings.strPass = texts.pass;
    settings.strServer = texts.server;
    settings.strHome = texts.home;
    settings.strTrigger = texts.trigger;
    // The delay stays text; whoever sets the reconnect timer turns it into a number.
    const QString fallbackReconnect = QString::fromLatin1(kFallbackReconnect);
    settings.strReconnect =
        ReadNumber(kReconnect, texts.reconnect, 0, 65535, fallbackReconnect, problems)
            ? texts.reconnect
            : fallbackReconnect;
    settings.strIdleMsg = texts.idleMsg;
    settings.intEnableAutoClear =
        ReadShort(kEnableAutoClear, texts.enableAutoClear, kFallbackEnableAutoClear, problems);
    settings.intAutoClearAtLine =
        ReadShort(kAutoClearAtLine, texts.autoClearAtLine, kFallbackAutoClearAtLine, problems);
    settings.intEnableNotifications = ReadShort(kEnableNotifications, texts.enableNotifications,
                                                kFallbackEnableNotifications, problems);
    return problems;
}

}  // namespace zarivok
