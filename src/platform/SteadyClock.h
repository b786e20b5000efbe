#pragma once

#include "platform/Clock.h"

namespace platform {

// The monotonic clock of the machine, used by programs.
class SteadyClock final : public Clock {
public:
    // Milliseconds of the machine's monotonic clock.
    std::int64_t now() const override;
};

}  // namespace platform
