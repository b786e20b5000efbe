#include "platform/ManualClock.h"

namespace platform {

void ManualClock::advanceBy(std::int64_t ms)
{
    if (ms > 0)
        now_ += ms;
}

}  // namespace platform
