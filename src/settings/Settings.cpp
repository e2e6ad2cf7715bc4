#include "settings/Settings.h"

#include <optional>

#include "settings/IniFile.h"

namespace zarivok {
namespace {

// Whole decimal numbers only: an optional sign, then ASCII digits. Anything else ("12x", "1.5",
// "0x10", digits of other scripts) is refused rather than read in part.
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

QString SettingProblem(const QString& key, const QString& value, qint64 lowest, qint64 highest,
                       const QString& fallback) {
    if (value.isEmpty()) {
        return QStringLiteral("Config.ini: \"%1\" is missing; using %2.").arg(key, fallback);
    }
    return QStringLiteral(
               "Config.ini: \"%1\" is \"%2\", not a whole number from %3 to %4; using %5.")
        .arg(key, value, QString::number(lowest), QString::number(highest), fallback);
}

// Reads one numeric key; on a missing or bad value adds the problem text to problems and
// returns std::nullopt, leaving the fallback to the caller.
std::optional<qint64> ReadNumber(const IniFile& ini, const QString& key, qint64 lowest,
                                 qint64 highest, const QString& fallback, QStringList& problems) {
    const QString text = ini.Value(QStringLiteral("Options"), key);
    const std::optional<qint64> number = ParseWholeNumber(text);
    if (number && *number >= lowest && *number <= highest) return number;
    problems.append(SettingProblem(key, text, lowest, highest, fallback));
    return std::nullopt;
}

int ReadShort(const IniFile& ini, const QString& key, int fallback, QStringList& problems) {
    const std::optional<qint64> number =
        ReadNumber(ini, key, -32768, 32767, QString::number(fallback), problems);
    return number ? static_cast<int>(*number) : fallback;
}

}  // namespace

QStringList LoadSettings(const QString& configPath, Settings& settings) {
    const IniFile ini = IniFile::Load(configPath);
    const QString login = QStringLiteral("Login");
    const QString options = QStringLiteral("Options");
    QStringList problems;

    settings.strUser = ini.Value(login, QStringLiteral("User"));
    settings.strPass = ini.Value(login, QStringLiteral("Pass"));
    settings.strServer = ini.Value(login, QStringLiteral("Server"));
    settings.strHome = ini.Value(login, QStringLiteral("Home"));
    settings.strTrigger = ini.Value(options, QStringLiteral("Trigger"));
    // The delay stays text; whoever sets the reconnect timer turns it into a number.
    const QString reconnectKey = QStringLiteral("Reconnect");
    const QString fallbackReconnect = QString::fromLatin1(kFallbackReconnect);
    settings.strReconnect = ReadNumber(ini, reconnectKey, 0, 65535, fallbackReconnect, problems)
                                ? ini.Value(options, reconnectKey)
                                : fallbackReconnect;
    settings.strIdleMsg = ini.Value(options, QStringLiteral("IdleMsg"));
    settings.intEnableAutoClear =
        ReadShort(ini, QStringLiteral("Enable AutoClear"), kFallbackEnableAutoClear, problems);
    settings.intAutoClearAtLine =
        ReadShort(ini, QStringLiteral("AutoClear At Line"), kFallbackAutoClearAtLine, problems);
    settings.intEnableNotifications = ReadShort(ini, QStringLiteral("Enable Notifications"),
                                                kFallbackEnableNotifications, problems);
    return problems;
}

}  // namespace zarivok
