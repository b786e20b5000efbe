#include "support/clsRandomizer.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace quorin {
namespace {

// The process-wide generator, reseeded from the clock whenever a domain is set.
std::mt19937& generator()
{
    static std::mt19937 engine;
    return engine;
}

}  // namespace

void clsRandomizer::setDomainCount(std::int16_t count)
{
    domainCount_ = std::max<std::int16_t>(count, 0);
    dealt_.assign(static_cast<std::size_t>(domainCount_) + 1, false);
    remaining_ = domainCount_;
    generator().seed(
        static_cast<std::mt19937::result_type>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

std::int16_t clsRandomizer::GetNext()
{
    if (remaining_ == 0)
        return 0;
    // An integer draw: a single-precision u close to 1 times a large n can round up to n + 1.
    std::uniform_int_distribution<int> draw(1, domainCount_);
    for (;;) {
        const auto r = static_cast<std::size_t>(draw(generator()));
        if (dealt_[r])
            continue;
        dealt_[r] = true;
        --remaining_;
        return static_cast<std::int16_t>(r);
    }
}

}  // namespace quorin
