#pragma once

#include <string_view>

namespace quorin::qti {

// The static strings' identifier of a language ("ENU") for a language's primary subtag ("en");
// nullptr when none is known.
const char* languageIdOf(std::string_view primarySubtag);

// The primary subtag of a static strings' language identifier; nullptr when none is known.
const char* languageTagOf(std::string_view languageId);

}  // namespace quorin::qti
