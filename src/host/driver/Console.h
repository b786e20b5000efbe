#pragma once

#include <istream>
#include <ostream>

namespace velm::host {

// The standard streams a subcommand reads and writes; tests hand in their own.
struct Console {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    // Whether an input named "-" has taken the standard input already; it can be read once.
    bool inTaken = false;
};

}  // namespace velm::host
