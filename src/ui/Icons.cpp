#include "ui/Icons.h"

#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <array>
#include <string_view>
#include <variant>

#include "base/Texts.h"
#include "channel/ProductIcons.h"
#include "ui/IconSymbols.h"
#include "ui/PixelFont.h"

namespace zarivok {
namespace {

// One colour set per product family, so that the family reads before the label does.
struct BadgeColours {
    QRgb fill;
    QRgb edge;
    QRgb text;
};
constexpr BadgeColours kChatColours{0x13898a, 0x0a5253, 0xffffff};
constexpr BadgeColours kDiabloColours{0xb81f1f, 0x650b0b, 0xfff1d0};
constexpr BadgeColours kDiablo2Colours{0x4a0e0e, 0x220404, 0xf2c443};
constexpr BadgeColours kStarCraftColours{0x1d5bc4, 0x0d2c66, 0xffffff};
constexpr BadgeColours kBroodWarColours{0x6c2fae, 0x37145e, 0xffffff};
constexpr BadgeColours kWarcraftColours{0x2f7f1f, 0x15420d, 0xfff2b0};
constexpr BadgeColours kGameColours{0x6b7380, 0x3a4049, 0xffffff};

enum class BadgeFill {
    Solid,
    // A shareware edition: a pale badge with the family colour in its edge and letters.
    Hollow,
    // A spawned copy: the family colour, faded.
    Faded,
};

struct Badge {
    BadgeColours colours;
    std::string_view label;
    std::string_view edition = {};  // small letters after the label
    BadgeFill fill = BadgeFill::Solid;
};

using Symbol = void (*)(QPainter&);
using IconArt = std::variant<Badge, Symbol>;

struct IconEntry {
    ChatIcon icon;
    IconArt art;
};

constexpr std::array kIconArt{
    IconEntry{ChatIcon::Gavel, DrawGavel},
    IconEntry{ChatIcon::Chat, Badge{kChatColours, "CHAT"}},
    IconEntry{ChatIcon::Diablo, Badge{kDiabloColours, "D1"}},
    IconEntry{ChatIcon::DiabloShareware, Badge{kDiabloColours, "D1", "SW", BadgeFill::Hollow}},
    IconEntry{ChatIcon::Diablo2, Badge{kDiablo2Colours, "D2"}},
    IconEntry{ChatIcon::StarCraft, Badge{kStarCraftColours, "SC"}},
    IconEntry{ChatIcon::StarCraftShareware,
              Badge{kStarCraftColours, "SC", "SW", BadgeFill::Hollow}},
    IconEntry{ChatIcon::StarCraftSpawn, Badge{kStarCraftColours, "SC", "SP", BadgeFill::Faded}},
    IconEntry{ChatIcon::BroodWar, Badge{kBroodWarColours, "BW"}},
    IconEntry{ChatIcon::Warcraft2, Badge{kWarcraftColours, "WC2"}},
    IconEntry{ChatIcon::StarCraftJapan, Badge{kStarCraftColours, "SC", "JP"}},
    IconEntry{ChatIcon::Game, Badge{kGameColours, "GAME"}},
    IconEntry{ChatIcon::Diablo2Expansion, Badge{kDiablo2Colours, "D2X"}},
    IconEntry{ChatIcon::RedCross, DrawRedCross},
    IconEntry{ChatIcon::Blizzard, DrawAdminShield},
    IconEntry{ChatIcon::BattleNet, DrawNetworkGlobe},
    IconEntry{ChatIcon::Megaphone, DrawMegaphone},
    IconEntry{ChatIcon::Glasses, DrawGlasses},
};
static_assert(kIconArt.size() == kChatIconCount);

// The pictures are looked up by number, so the table must list them in number order.
constexpr bool InNumberOrder() {
    for (std::size_t i = 0; i < kIconArt.size(); ++i) {
        if (static_cast<int>(kIconArt[i].icon) != static_cast<int>(i) + 1) return false;
    }
    return true;
}
static_assert(InNumberOrder());

void DrawBadgeFrame(QPainter& painter, const Badge& badge) {
    const QColor fill(badge.colours.fill);
    QColor top = fill.lighter(140);
    QColor bottom = fill;
    if (badge.fill == BadgeFill::Hollow) {
        top = QColor(Qt::white);
        bottom = QColor(0xe4e8ee);
    } else if (badge.fill == BadgeFill::Faded) {
        top = fill.lighter(190);
        bottom = fill.lighter(150);
    }
    QLinearGradient shade(0, 0, 0, kChatIconSize.height());
    shade.setColorAt(0, top);
    shade.setColorAt(1, bottom);
    painter.setPen(QPen(QColor(badge.colours.edge), 1));
    painter.setBrush(shade);
    painter.drawRoundedRect(QRectF(0.5, 0.5, kChatIconSize.width() - 1, kChatIconSize.height() - 1),
                            3, 3);
}

// The label and its edition, centred together, sharing a baseline.
void DrawBadgeLabel(QPainter& painter, const Badge& badge) {
    const QColor ink(badge.fill == BadgeFill::Solid ? badge.colours.text : badge.colours.edge);
    const int labelWidth = PixelTextWidth(badge.label, PixelFont::Large);
    const int gap = badge.edition.empty() ? 0 : 2;
    const int width = labelWidth + gap + PixelTextWidth(badge.edition, PixelFont::Small);
    const int left = (kChatIconSize.width() - width + 1) / 2;
    const int top = (kChatIconSize.height() - PixelFontHeight(PixelFont::Large) + 1) / 2;
    DrawPixelText(painter, {left, top}, badge.label, PixelFont::Large, ink);
    const int baselineDrop = PixelFontHeight(PixelFont::Large) - PixelFontHeight(PixelFont::Small);
    DrawPixelText(painter, {left + labelWidth + gap, top + baselineDrop}, badge.edition,
                  PixelFont::Small, ink);
}

QPixmap DrawChatIcon(const IconArt& art) {
    QImage image(kChatIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (const Badge* badge = std::get_if<Badge>(&art)) {
        DrawBadgeFrame(painter, *badge);
        DrawBadgeLabel(painter, *badge);
    } else {
        std::get<Symbol>(art)(painter);
    }
    painter.end();
    return QPixmap::fromImage(image);
}

// The program's emblem: a speech bubble with a Z cut out of it, so that whatever lies beneath
// shows through the letter.
QImage Emblem(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal w = size.width();
    const qreal h = size.height();
    const QRectF bubble(0, 0, w, h * 0.8);
    QPainterPath shape;
    shape.addRoundedRect(bubble, w * 0.2, w * 0.2);
    QPainterPath tail;
    tail.moveTo(w * 0.2, bubble.bottom() - h * 0.05);
    tail.lineTo(w * 0.16, h);
    tail.lineTo(w * 0.46, bubble.bottom() - h * 0.05);
    tail.closeSubpath();
    QLinearGradient shade(bubble.topLeft(), bubble.bottomLeft());
    shade.setColorAt(0, QColor(0x6ee6e0));
    shade.setColorAt(1, QColor(0x1c9bb0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawPath(shape.united(tail));

    // The Z in unit coordinates: top bar, diagonal, bottom bar.
    constexpr QPointF kZ[] = {{0, 0}, {1, 0}, {1, 0.22}, {0.36, 0.78}, {1, 0.78},
                              {1, 1}, {0, 1}, {0, 0.78}, {0.64, 0.22}, {0, 0.22}};
    const QRectF letter = bubble.adjusted(w * 0.27, h * 0.17, -w * 0.27, -h * 0.17);
    QPolygonF z;
    for (const QPointF& point : kZ) {
        z << QPointF(letter.left() + point.x() * letter.width(),
                     letter.top() + point.y() * letter.height());
    }
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    painter.setBrush(Qt::black);
    painter.drawPolygon(z);
    painter.end();
    return image;
}

QPixmap DrawWindowIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(0.5, 0.5, size - 1, size - 1);
    QLinearGradient night(tile.topLeft(), tile.bottomLeft());
    night.setColorAt(0, QColor(0x2a3b66));
    night.setColorAt(1, QColor(0x0d1426));
    painter.setPen(QPen(QColor(0x070b16), 1));
    painter.setBrush(night);
    painter.drawRoundedRect(tile, size * 0.2, size * 0.2);
    const int margin = qRound(size * 0.16);
    painter.drawImage(QPoint(margin, margin),
                      Emblem(QSize(size - 2 * margin, size - margin * 9 / 5)));
    painter.end();
    return QPixmap::fromImage(image);
}

QPixmap DrawBackground() {
    constexpr QSize kSize{700, 500};
    QImage image(kSize, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient night(0, 0, 0, kSize.height());
    night.setColorAt(0, QColor(0x1a2338));
    night.setColorAt(1, QColor(0x07090f));
    painter.fillRect(image.rect(), night);
    QRadialGradient glow(QPointF(560, 80), 420);
    glow.setColorAt(0, QColor(60, 110, 160, 60));
    glow.setColorAt(1, QColor(60, 110, 160, 0));
    painter.fillRect(image.rect(), glow);

    painter.setOpacity(0.07);
    painter.drawImage(QPoint(300, 90), Emblem(QSize(300, 300)));
    painter.setOpacity(0.22);
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(40);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    painter.setFont(font);
    painter.setPen(QColor(0x9fc4e8));
    painter.drawText(QRect(0, 410, kSize.width() - 24, 70), Qt::AlignRight | Qt::AlignBottom,
                     QString::fromLatin1(kProgramName));
    painter.end();
    return QPixmap::fromImage(image);
}

}  // namespace

QPixmap ChatIconPixmap(int number) {
    if (number < 1 || number > kChatIconCount) return {};
    // List rows repaint often; the pictures are drawn once, on first use.
    static const std::array<QPixmap, kChatIconCount> pixmaps = [] {
        std::array<QPixmap, kChatIconCount> drawn;
        for (int i = 0; i < kChatIconCount; ++i) drawn[i] = DrawChatIcon(kIconArt[i].art);
        return drawn;
    }();
    return pixmaps[number - 1];
}

QPixmap WindowIconPixmap() {
    static const QPixmap pixmap = DrawWindowIcon(32);
    return pixmap;
}

QPixmap WindowIconPixmap(int size) { return DrawWindowIcon(size); }

QIcon WindowIcon() {
    static const QIcon icon = [] {
        QIcon sizes;
        for (const int size : kWindowIconSizes) sizes.addPixmap(DrawWindowIcon(size));
        return sizes;
    }();
    return icon;
}

QPixmap BackgroundPicture() {
    static const QPixmap pixmap = DrawBackground();
    return pixmap;
}

}  // namespace zarivok
