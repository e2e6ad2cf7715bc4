#pragma once

#include <QString>

namespace zarivok {

// The numbers of the 18 user-list images, fixed so that front ends draw the same picture for
// the same number. Spawn, Battle.net and glasses are drawn but never chosen.
enum class ChatIcon : int {
    Gavel = 1,
    Chat = 2,
    Diablo = 3,
    DiabloShareware = 4,
    Diablo2 = 5,
    StarCraft = 6,
    StarCraftShareware = 7,
    StarCraftSpawn = 8,
    BroodWar = 9,
    Warcraft2 = 10,
    StarCraftJapan = 11,
    Game = 12,
    Diablo2Expansion = 13,
    RedCross = 14,
    Blizzard = 15,
    BattleNet = 16,
    Megaphone = 17,
    Glasses = 18,
};
inline constexpr int kChatIconCount = 18;

// The icon for a user entering: chosen by the product tag ("[STAR]", brackets included, exact
// letter case), then replaced by a flag icon where a flag rule applies.
int GetProductIcon(const QString& product, const QString& flags);

// The icon for a flags change: the flag rules alone, the generic badge when none applies.
int GetFlagsIcon(const QString& flags);

}  // namespace zarivok
