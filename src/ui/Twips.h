#pragma once

#include <QPoint>
#include <QRect>

namespace zarivok {

// The windows keep the fixed layout they were drawn with, measured in twips (1/1440 inch); at
// 96 dots per inch a pixel is 15 twips. Qt scales these logical pixels on denser screens.
inline constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) { return twips / kTwipsPerPixel; }

constexpr QPoint TwipPoint(int x, int y) { return {TwipsToPixels(x), TwipsToPixels(y)}; }

constexpr QRect TwipRect(int left, int top, int width, int height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

}  // namespace zarivok
