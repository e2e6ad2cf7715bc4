#include "channel/ProductIcons.h"

#include <optional>
#include <utility>

namespace zarivok {
namespace {

// Only the third and fourth characters of the flags field are looked at, always as text; a
// shorter field gives shorter pieces, which match nothing.
std::optional<int> FlagIcon(const QString& flags) {
    const QStringView fourth = QStringView(flags).mid(3, 1);
    const QStringView thirdAndFourth = QStringView(flags).mid(2, 2);
    if (fourth == u"2") return static_cast<int>(ChatIcon::Gavel);
    if (thirdAndFourth == u"20" || thirdAndFourth == u"30") {
        return static_cast<int>(ChatIcon::RedCross);
    }
    if (fourth == u"1") return static_cast<int>(ChatIcon::Blizzard);
    if (fourth == u"4") return static_cast<int>(ChatIcon::Megaphone);
    return std::nullopt;
}

}  // namespace

int GetProductIcon(const QString& product, const QString& flags) {
    static constexpr std::pair<const char16_t*, ChatIcon> kProducts[] = {
        {u"[CHAT]", ChatIcon::Chat},
        {u"[DRTL]", ChatIcon::Diablo},
        {u"[DSHR]", ChatIcon::DiabloShareware},
        {u"[D2XP]", ChatIcon::Diablo2Expansion},
        {u"[STAR]", ChatIcon::StarCraft},
        {u"[SEXP]", ChatIcon::BroodWar},
        {u"[SSHR]", ChatIcon::StarCraftShareware},
        {u"[W2BN]", ChatIcon::Warcraft2},
        {u"[D2DV]", ChatIcon::Diablo2},
        {u"[JSTR]", ChatIcon::StarCraftJapan},
        {u"[BRX]", ChatIcon::RedCross},
    };
    int icon = static_cast<int>(ChatIcon::Game);
    for (const auto& [tag, productIcon] : kProducts) {
        if (product == QStringView(tag)) {
            icon = static_cast<int>(productIcon);
            break;
        }
    }
    return FlagIcon(flags).value_or(icon);
}

int GetFlagsIcon(const QString& flags) {
    return FlagIcon(flags).value_or(static_cast<int>(ChatIcon::Game));
}

}  // namespace zarivok
