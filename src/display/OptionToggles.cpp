#include "display/OptionToggles.h"

#include "base/Texts.h"
#include "display/ChatOutput.h"

namespace zarivok {
namespace {

// No line carries a time stamp, and no toggle writes Config.ini. value: the running setting the
// switch sets, if it has one.
QString Toggle(ChatOutput& output, const QString& caption, const char* offCaption,
               const char* onCaption, int* value, const char* disabledLine,
               const char* enabledLine) {
    const bool turnOff = caption == QLatin1String(offCaption);
    if (value) *value = turnOff ? 0 : 1;
    output.AppendChat(QLatin1String(turnOff ? disabledLine : enabledLine) + kCrLf, kGreen);
    return QLatin1String(turnOff ? onCaption : offCaption);
}

}  // namespace

QString ToggleNotifications(ChatOutput& output, const QString& caption, int* value) {
    return Toggle(output, caption, kNotificationsOffCaption, kNotificationsOnCaption, value,
                  "Join/Leave Notifications Disabled.", "Join/Leave Notifications Enabled.");
}

QString ToggleAutoClear(ChatOutput& output, const QString& caption, int* value) {
    return Toggle(output, caption, kAutoClearOffCaption, kAutoClearOnCaption, value,
                  "AutoClear Disabled.", "AutoClear Enabled.");
}

QString ToggleAlerts(ChatOutput& output, const QString& caption) {
    return Toggle(output, caption, kAlertsOffCaption, kAlertsOnCaption, nullptr, "Alerts Disabled.",
                  "Alerts Enabled.");
}

}  // namespace zarivok
