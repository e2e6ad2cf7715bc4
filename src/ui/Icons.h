#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace zarivok {

// Every picture of the desktop window is drawn here in code: the code is the source, so there
// are no image files to keep in step with it.

inline constexpr QSize kChatIconSize{28, 14};

// The picture of user-list icon `number` (the numbers of ChatIcon); a null pixmap for any other
// number. Drawn once and cached.
QPixmap ChatIconPixmap(int number);

// The window's own 32 x 32 icon, also used for the notification-area (tray) icon.
QPixmap WindowIconPixmap();
QIcon WindowIcon();

// The 700 x 500 background picture drawn behind the main window's controls from its top-left
// corner.
QPixmap BackgroundPicture();

}  // namespace zarivok
