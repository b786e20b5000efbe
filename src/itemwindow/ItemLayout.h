#pragma once

#include "platform/Bounds.h"

#include <cstdint>
#include <vector>

namespace quorin {

// The heights and widths of the window's frame strips, in twips.
struct FrameStrips {
    float title = 0;
    float leftEdge = 0;
    float rightEdge = 0;
    float buttonBar = 0;
    float bottom = 0;  // 0 for the provisional layout, which leaves the bottom strip alone
};

// Where the frame's pages and the item area go.
struct FrameLayout {
    platform::Bounds title;
    platform::Bounds leftEdge;
    platform::Bounds rightEdge;
    platform::Bounds bottom;
    platform::Bounds buttons;
    platform::Bounds itemArea;
};

// What the item area's content is laid out from: sizes as the controls hold them and the
// heights the browser measured, in pixels.
struct ContentMeasures {
    float itemAreaWidth = 0;
    float windowWidth = 0;
    std::int16_t horzSpacing = 0;
    std::int16_t vertSpacing = 0;
    float twipsPerPixelY = 15;
    std::int32_t stemPixels = 0;
    std::vector<platform::Bounds> exhibits;  // the exhibit buttons, without element 0
    std::int32_t exhibitsWidth = 0;  // their widths as loaded, each rounded
    std::vector<platform::Bounds> boxes;  // one answer control per choice
    std::vector<std::int32_t> choicePixels;  // one choice text's height per choice
};

// Where the item area's content goes; sizes the layout does not set are kept.
struct ContentLayout {
    platform::Bounds stem;
    std::vector<platform::Bounds> exhibits;
    std::vector<platform::Bounds> boxes;
    std::vector<platform::Bounds> texts;
    platform::Bounds choices;
    std::int32_t scrollingHeight = 0;
};

// The item window's layout as arithmetic alone, so every rectangle follows from the window's
// size and the measured heights without a window.
class ItemLayout {
public:
    // The frame of a window width x height; a case study shows only the button bar across
    // the whole width, over the item area.
    static FrameLayout frame(float width, float height, const FrameStrips& strips, bool caseStudy);
    // The widths of the stem and of every choice text in an item area that wide; the browsers
    // measure their documents at these widths.
    static float stemWidth(float itemAreaWidth, std::int16_t horzSpacing, std::int16_t vertSpacing);
    static float choiceTextWidth(float itemAreaWidth);
    // The stem, then the exhibit buttons in a centred row, then the choices one pixel below each
    // other; raises an overflow for a height beyond 32-bit twips.
    static ContentLayout content(const ContentMeasures& measures);
};

}  // namespace quorin
