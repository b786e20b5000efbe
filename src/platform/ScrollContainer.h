#pragma once

#include "platform/Container.h"
#include "platform/Control.h"

#include <cstdint>
#include <functional>

namespace platform {

// A container that scrolls its content vertically. ScrollingHeight and the two positions are
// kept as written (the program decides what is in range).
class ScrollContainer final : public Control, public Container {
public:
    ScrollContainer() = default;
    ~ScrollContainer() override;

    std::string_view kind() const override { return "ScrollContainer"; }

    // The height of the scrollable content, in twips.
    std::int32_t ScrollingHeight() const { return scrollingHeight_; }
    void setScrollingHeight(std::int32_t height) { scrollingHeight_ = height; }
    // The vertical scroll offset, in twips.
    std::int32_t VerticalPosition() const { return verticalPosition_; }
    // Sets the vertical offset, raising VChange when it changes.
    void setVerticalPosition(std::int32_t position);
    // The horizontal scroll offset, in twips.
    std::int32_t HorizontalPosition() const { return horizontalPosition_; }
    void setHorizontalPosition(std::int32_t position) { horizontalPosition_ = position; }

    // The candidate scrolls to the end: VerticalPosition becomes ScrollingHeight − Height
    // (not below 0).
    void scrollToEnd();

    // Raised after VerticalPosition changed.
    std::function<void()> onVChange;

private:
    std::int32_t scrollingHeight_ = 0;
    std::int32_t verticalPosition_ = 0;
    std::int32_t horizontalPosition_ = 0;
};

}  // namespace platform
