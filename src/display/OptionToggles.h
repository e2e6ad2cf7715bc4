#pragma once

#include <QString>

namespace zarivok {

class ChatOutput;

// The Options menu's two switches. Each item's caption is the only memory of its toggle: a click
// reads the caption to decide, sets the running value, says so in green and returns the new
// caption. Loading the settings changes the values but never the captions, so the two can
// disagree; at start both captions end in "Off" (a click turns the option off) while the values
// are 0 until the first connect loads them.
inline constexpr char kNotificationsOffCaption[] = "&Notifications Off";
inline constexpr char kNotificationsOnCaption[] = "&Notifications On";
inline constexpr char kAutoClearOffCaption[] = "&AutoClear Off";
inline constexpr char kAutoClearOnCaption[] = "&AutoClear On";

// Alerts (a whisper, or the bot's name in a channel line, while the window is not in front):
// on at start. Its mnemonic is not AutoClear's.
inline constexpr char kAlertsOffCaption[] = "A&lerts Off";
inline constexpr char kAlertsOnCaption[] = "A&lerts On";

// value: the running setting the switch sets.
QString ToggleNotifications(ChatOutput& output, const QString& caption, int* value);
QString ToggleAutoClear(ChatOutput& output, const QString& caption, int* value);
// Alerts have no setting in Config.ini: the caption is their only state.
QString ToggleAlerts(ChatOutput& output, const QString& caption);

}  // namespace zarivok
