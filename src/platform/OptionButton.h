#pragma once

#include "platform/Control.h"

#include <cstdint>
#include <functional>

namespace platform {

// An option button. The option buttons directly inside one container form a group: when one
// becomes true the others become false (raising nothing).
class OptionButton final : public Control {
public:
    std::string_view kind() const override { return "OptionButton"; }

    // Whether it is selected.
    bool Value() const { return value_; }
    // Selects or clears it; Click is raised when it becomes true.
    void setValue(bool value);

    // The candidate clicks it with button at (x, y): when reachable it takes the
    // focus, raises MouseDown, becomes true for the left button (Click when it changed), then
    // raises MouseUp.
    void click(std::int16_t button = kLeftButton, std::int16_t shift = 0, float x = 0, float y = 0);
    // The candidate types a character while it has the focus: raises KeyPress when reachable;
    // returns the code as the handler left it.
    std::int16_t keyPress(std::int16_t keyAscii);

    // Raised after it became true.
    std::function<void()> onClick;
    // Raised when a mouse button goes down on it: button, shift state, position in twips.
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> onMouseDown;
    // Raised when a mouse button is released on it.
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> onMouseUp;
    // Raised for a typed character; the handler may change or clear (0) the code.
    std::function<void(std::int16_t& keyAscii)> onKeyPress;

private:
    bool value_ = false;
};

}  // namespace platform
