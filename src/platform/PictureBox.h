#pragma once

#include "platform/Container.h"
#include "platform/Control.h"

#include <cstdint>
#include <functional>

namespace platform {

// A picture box used as a container of other controls.
class PictureBox final : public Control, public Container {
public:
    PictureBox() = default;
    ~PictureBox() override;

    std::string_view kind() const override { return "PictureBox"; }

    // The candidate types a character while it has the focus: raises KeyPress when reachable;
    // returns the code as the handler left it.
    std::int16_t keyPress(std::int16_t keyAscii);

    // Raised for a typed character; the handler may change or clear (0) the code.
    std::function<void(std::int16_t& keyAscii)> onKeyPress;
};

}  // namespace platform
