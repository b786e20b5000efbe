#pragma once

#include "platform/Control.h"

#include <functional>

namespace platform {

// A push button.
class CommandButton final : public Control {
public:
    std::string_view kind() const override { return "CommandButton"; }

    // The candidate clicks it: when reachable it takes the focus and raises Click.
    void click();

    // Raised when it is clicked.
    std::function<void()> onClick;
};

}  // namespace platform
