#pragma once

#include <QPoint>
#include <string_view>

class QColor;
class QPainter;

namespace zarivok {

// Capital letters and digits a few pixels tall, set pixel by pixel: at the size of a list icon
// a scalable font blurs into grey, and it would look different on every system.
enum class PixelFont {
    Large,  // 7 pixels tall
    Small,  // 5 pixels tall, for the edition after a label
};

int PixelFontHeight(PixelFont font);

// One pixel of space between letters, none after the last.
int PixelTextWidth(std::string_view text, PixelFont font);

void DrawPixelText(QPainter& painter, QPoint topLeft, std::string_view text, PixelFont font,
                   const QColor& colour);

}  // namespace zarivok
