#pragma once

#include <cstdint>

namespace platform {

// A source of the current time, in milliseconds since an origin of the clock's choosing.
class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since the clock's origin; never decreases.
    virtual std::int64_t now() const = 0;
};

}  // namespace platform
