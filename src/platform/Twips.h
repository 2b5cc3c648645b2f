#pragma once

#include <QRect>
#include <QSize>

// Sizes and positions of the windows are laid out in twips (1/1440 inch); on screen one pixel
// stands for 15 twips, as at 96 dots per inch.
namespace vt::platform {

constexpr int TwipsPerPixel = 15;

constexpr QRect twips(int left, int top, int width, int height) {
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

constexpr QSize twipsSize(int width, int height) {
    return {width / TwipsPerPixel, height / TwipsPerPixel};
}

} // namespace vt::platform
