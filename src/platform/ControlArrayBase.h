#pragma once

#include <string>

namespace platform {

class Control;

// What a container needs of its control arrays, whatever their element kind.
class ControlArrayBase {
public:
    virtual ~ControlArrayBase() = default;

    // The name shared by every element.
    virtual const std::string& name() const = 0;
    // Unloads every element except element 0 (the window unloading).
    virtual void unloadRuntimeElements() = 0;
    // Drops a destroyed control from the array, if it is an element.
    virtual void forget(const Control& control) = 0;
};

}  // namespace platform
