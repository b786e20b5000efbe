#pragma once

#include <optional>

namespace platform {

// A position and size in twips; width and height never go below 0.
struct Bounds {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;

    // A width or height as kept: a negative one counts as 0.
    static float extent(float value) { return value > 0 ? value : 0.0f; }

    // Moves to left and, when given, top, width and height; whether the size changed.
    bool move(float newLeft, std::optional<float> newTop, std::optional<float> newWidth, std::optional<float> newHeight)
    {
        left = newLeft;
        top = newTop.value_or(top);
        const float keptWidth = extent(newWidth.value_or(width));
        const float keptHeight = extent(newHeight.value_or(height));
        if (keptWidth == width && keptHeight == height)
            return false;
        width = keptWidth;
        height = keptHeight;
        return true;
    }

    bool operator==(const Bounds&) const = default;
};

}  // namespace platform
