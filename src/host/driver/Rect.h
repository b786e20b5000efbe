#pragma once

#include <cstdint>

namespace velm::host {

// A rectangle of the driver's window calls, in twips.
struct RunRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    friend bool operator==(const RunRect&, const RunRect&) = default;
};

}  // namespace velm::host
