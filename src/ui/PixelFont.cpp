#include "ui/PixelFont.h"

#include <QColor>
#include <QPainter>
#include <algorithm>
#include <array>

namespace zarivok {
namespace {

// Rows from the top, separated by '/'; '#' is ink.
struct Glyph {
    char letter;
    std::string_view rows;
};

constexpr std::array kLargeGlyphs{
    Glyph{'A', ".##./#..#/#..#/####/#..#/#..#/#..#"},
    Glyph{'B', "###./#..#/#..#/###./#..#/#..#/###."},
    Glyph{'C', ".###/#.../#.../#.../#.../#.../.###"},
    Glyph{'D', "###./#..#/#..#/#..#/#..#/#..#/###."},
    Glyph{'E', "####/#.../#.../###./#.../#.../####"},
    Glyph{'G', ".###/#.../#.../#.##/#..#/#..#/.###"},
    Glyph{'H', "#..#/#..#/#..#/####/#..#/#..#/#..#"},
    Glyph{'M', "#...#/##.##/#.#.#/#.#.#/#...#/#...#/#...#"},
    Glyph{'S', ".###/#.../#.../.##./...#/...#/###."},
    Glyph{'T', "#####/..#../..#../..#../..#../..#../..#.."},
    Glyph{'W', "#...#/#...#/#...#/#.#.#/#.#.#/#.#.#/.#.#."},
    Glyph{'X', "#...#/#...#/.#.#./..#../.#.#./#...#/#...#"},
    Glyph{'1', ".#./##./.#./.#./.#./.#./###"},
    Glyph{'2', ".##./#..#/...#/..#./.#../#.../####"},
};

constexpr std::array kSmallGlyphs{
    Glyph{'J', "..#/..#/..#/#.#/.#."},
    Glyph{'P', "##./#.#/##./#../#.."},
    Glyph{'S', ".##/#../.#./..#/##."},
    Glyph{'W', "#...#/#...#/#.#.#/#.#.#/.#.#."},
};

constexpr int kLargeHeight = 7;
constexpr int kSmallHeight = 5;

constexpr int GlyphWidth(const Glyph& glyph) { return static_cast<int>(glyph.rows.find('/')); }

// A mistyped row would shear a letter without any error, so every glyph must be a full rectangle.
template <std::size_t N>
constexpr bool AllRectangular(const std::array<Glyph, N>& glyphs, int height) {
    for (const Glyph& glyph : glyphs) {
        const std::size_t width = glyph.rows.find('/');
        if (width == std::string_view::npos || width == 0) return false;
        if (glyph.rows.size() != width * height + (height - 1)) return false;
        for (std::size_t i = width; i < glyph.rows.size(); i += width + 1) {
            if (glyph.rows[i] != '/') return false;
        }
    }
    return true;
}
static_assert(AllRectangular(kLargeGlyphs, kLargeHeight));
static_assert(AllRectangular(kSmallGlyphs, kSmallHeight));

const Glyph* FindGlyph(char letter, PixelFont font) {
    const auto find = [letter](const auto& glyphs) -> const Glyph* {
        const auto it = std::find_if(glyphs.begin(), glyphs.end(), [letter](const Glyph& glyph) {
            return glyph.letter == letter;
        });
        return it == glyphs.end() ? nullptr : &*it;
    };
    const Glyph* glyph = font == PixelFont::Large ? find(kLargeGlyphs) : find(kSmallGlyphs);
    Q_ASSERT_X(glyph, "FindGlyph", "a label uses a letter the pixel font lacks");
    return glyph;
}

}  // namespace

int PixelFontHeight(PixelFont font) {
    return font == PixelFont::Large ? kLargeHeight : kSmallHeight;
}

int PixelTextWidth(std::string_view text, PixelFont font) {
    int width = 0;
    for (const char letter : text) {
        if (const Glyph* glyph = FindGlyph(letter, font)) {
            width += (width > 0 ? 1 : 0) + GlyphWidth(*glyph);
        }
    }
    return width;
}

void DrawPixelText(QPainter& painter, QPoint topLeft, std::string_view text, PixelFont font,
                   const QColor& colour) {
    int left = topLeft.x();
    for (const char letter : text) {
        const Glyph* glyph = FindGlyph(letter, font);
        if (!glyph) continue;
        int x = 0;
        int y = 0;
        for (const char cell : glyph->rows) {
            if (cell == '/') {
                x = 0;
                ++y;
                continue;
            }
            if (cell == '#') painter.fillRect(QRect(left + x, topLeft.y() + y, 1, 1), colour);
            ++x;
        }
        left += GlyphWidth(*glyph) + 1;
    }
}

}  // namespace zarivok
