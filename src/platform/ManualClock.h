#pragma once

#include "platform/Clock.h"

namespace platform {

// A clock that only moves when told to, so tests can check both sides of every time edge.
class ManualClock final : public Clock {
public:
    // A clock that reads start until advanced.
    explicit ManualClock(std::int64_t start = 0) : now_(start) {}

    // The time reached so far.
    std::int64_t now() const override { return now_; }

    // Moves the time forward by ms; a negative amount is ignored.
    void advanceBy(std::int64_t ms);

private:
    std::int64_t now_;
};

}  // namespace platform
