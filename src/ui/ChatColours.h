#pragma once

#include <QColor>

#include "base/ChatColour.h"

namespace zarivok {

// The core keeps chat colours as 0x00BBGGRR integers; widgets draw with QColor.
inline QColor ToQColor(ChatColour colour) {
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

inline ChatColour FromQColor(const QColor& colour) {
    return static_cast<ChatColour>(colour.red()) | static_cast<ChatColour>(colour.green()) << 8 |
           static_cast<ChatColour>(colour.blue()) << 16;
}

}  // namespace zarivok
