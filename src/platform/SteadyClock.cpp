#include "platform/SteadyClock.h"

#include <chrono>

namespace platform {

std::int64_t SteadyClock::now() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace platform
