#pragma once

#include "platform/Control.h"

#include <cstdint>
#include <functional>

namespace platform {

// A check box: Value 0 (unchecked), 1 (checked) or 2 (grayed).
class CheckBox final : public Control {
public:
    std::string_view kind() const override { return "CheckBox"; }

    // The check state.
    std::int16_t Value() const { return value_; }
    // Sets the check state, raising Click when it changes; error 380 "Invalid property value"
    // outside 0 to 2.
    void setValue(std::int16_t value);

    // The candidate clicks it: when reachable it takes the focus and toggles
    // (checked becomes unchecked, anything else checked), raising Click.
    void click();
    // The candidate types a character while it has the focus: raises KeyPress when reachable;
    // returns the code as the handler left it.
    std::int16_t keyPress(std::int16_t keyAscii);

    // Raised after the value changed.
    std::function<void()> onClick;
    // Raised for a typed character; the handler may change or clear (0) the code.
    std::function<void(std::int16_t& keyAscii)> onKeyPress;

private:
    std::int16_t value_ = 0;
};

}  // namespace platform
