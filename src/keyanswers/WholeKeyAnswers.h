#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorin {

// The answers a whole key names, as "Set Answers" reads it, joined by ",": authors paste whole
// keys, so the key is cut at its first "AND ONLY" (in any letter case, as the parser reads
// connectives) and the rest is read in the dialect of itemType; nothing when that rest is not
// well formed.
std::optional<std::string> wholeKeyAnswers(std::string_view key, std::string_view itemType);

}  // namespace quorin
