#pragma once

#include <cstdint>
#include <vector>

namespace quorin {

// Deals the numbers 1 to n once each, in random order.
class clsRandomizer {
public:
    // The size of the domain; setting it starts a fresh deal and reseeds the generator.
    std::int16_t DomainCount() const { return domainCount_; }
    void setDomainCount(std::int16_t count);

    // A number from 1 to n not dealt before; 0 once every number has been dealt.
    std::int16_t GetNext();

private:
    std::int16_t domainCount_ = 0;
    std::vector<bool> dealt_;
    std::int16_t remaining_ = 0;
};

}  // namespace quorin
