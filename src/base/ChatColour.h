#pragma once

#include <QtGlobal>

namespace zarivok {

// A chat colour as the pane's owner stores it: 0x00BBGGRR, blue in the high byte. The core keeps
// colours as plain integers so it never needs a GUI header; each front end converts them.
using ChatColour = quint32;

inline constexpr ChatColour kRed = 0x0000FF;
inline constexpr ChatColour kGreen = 0x00FF00;
inline constexpr ChatColour kYellow = 0x00FFFF;
inline constexpr ChatColour kCyan = 0xFFFF00;
inline constexpr ChatColour kWhite = 0xFFFFFF;
inline constexpr ChatColour kGrey = 0x808080;
inline constexpr ChatColour kBlack = 0x000000;

constexpr int RedOf(ChatColour colour) { return static_cast<int>(colour & 0xFFu); }
constexpr int GreenOf(ChatColour colour) { return static_cast<int>((colour >> 8) & 0xFFu); }
constexpr int BlueOf(ChatColour colour) { return static_cast<int>((colour >> 16) & 0xFFu); }

}  // namespace zarivok
