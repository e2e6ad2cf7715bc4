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
// The sizes the window icon is drawn at, each one on its own so that the small ones stay sharp:
// the window's icon set and the installed icon theme's sizes.
inline constexpr int kWindowIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
QPixmap WindowIconPixmap(int size);

// The 700 x 500 background picture drawn behind the main window's controls from its top-left
// corner.
QPixmap BackgroundPicture();

}  // namespace zarivok
