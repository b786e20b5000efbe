#pragma once

#include <string>

namespace quorin::qti {

// Thrown inside an import when the item cannot come in; the import returns the reason.
struct ImportRefusal {
    std::string reason;
};

}  // namespace quorin::qti
