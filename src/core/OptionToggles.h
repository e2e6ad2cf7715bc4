#pragma once

#include <QString>

namespace zarivok {

class Bot;

// The Options menu's two switches. Each item's caption is the only memory of its toggle: a click
// reads the caption to decide, sets the running value, says so in green and returns the new
// caption. Loading the settings changes the values but never the captions, so the two can
// disagree; at start both captions end in "Off" (a click turns the option off) while the values
// are 0 until the first connect loads them.
inline constexpr char kNotificationsOffCaption[] = "&Notifications Off";
inline constexpr char kNotificationsOnCaption[] = "&Notifications On";
inline constexpr char kAutoClearOffCaption[] = "&AutoClear Off";
inline constexpr char kAutoClearOnCaption[] = "&AutoClear On";

QString ToggleNotifications(Bot& bot, const QString& caption);
QString ToggleAutoClear(Bot& bot, const QString& caption);

}  // namespace zarivok
