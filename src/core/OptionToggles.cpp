#include "core/OptionToggles.h"

#include "core/Bot.h"
#include "core/Texts.h"

namespace zarivok {
namespace {

// No line carries a time stamp, and no toggle writes Config.ini. value: the running setting the
// switch sets, if it has one.
QString Toggle(Bot& bot, const QString& caption, const char* offCaption, const char* onCaption,
               int* value, const char* disabledLine, const char* enabledLine) {
    const bool turnOff = caption == QLatin1String(offCaption);
    if (value) *value = turnOff ? 0 : 1;
    bot.AppendChat(QLatin1String(turnOff ? disabledLine : enabledLine) + kCrLf, kGreen);
    return QLatin1String(turnOff ? onCaption : offCaption);
}

}  // namespace

QString ToggleNotifications(Bot& bot, const QString& caption) {
    return Toggle(bot, caption, kNotificationsOffCaption, kNotificationsOnCaption,
                  &bot.settings.intEnableNotifications, "Join/Leave Notifications Disabled.",
                  "Join/Leave Notifications Enabled.");
}

QString ToggleAutoClear(Bot& bot, const QString& caption) {
    return Toggle(bot, caption, kAutoClearOffCaption, kAutoClearOnCaption,
                  &bot.settings.intEnableAutoClear, "AutoClear Disabled.", "AutoClear Enabled.");
}

QString ToggleAlerts(Bot& bot, const QString& caption) {
    return Toggle(bot, caption, kAlertsOffCaption, kAlertsOnCaption, nullptr, "Alerts Disabled.",
                  "Alerts Enabled.");
}

}  // namespace zarivok
