#include "keyanswers/WholeKeyAnswers.h"

#include "keyanswers/modSetAnswers.h"
#include "vb/Strings.h"

namespace quorin {

std::optional<std::string> wholeKeyAnswers(std::string_view key, std::string_view itemType)
{
    const auto only = vb::upperAscii(key).find("AND ONLY");
    return modSetAnswers().WellFormedKeyAnswers(key.substr(0, only), itemType);
}

}  // namespace quorin
