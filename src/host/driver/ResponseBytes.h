#pragma once

#include "vb/Text.h"

#include <string_view>

namespace velm::host {

// The bytes a driver sends to rescore a stored response text (a comma list, a Responses element
// or an answer list): the text as it stands, or an empty Responses element when it is blank,
// so that a candidate who gave no answer counts as not attempted.
vb::ByteArray responseBytes(std::string_view responseText);

}  // namespace velm::host
