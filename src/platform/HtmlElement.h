#pragma once

#include <string>

namespace platform {

// The element of a document that received an event.
struct HtmlElement {
    // The element's id attribute; "" when it has none.
    std::string id;
};

}  // namespace platform
