#include "keyanswers/modSetAnswers.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// The first byte picks the item type code, the rest is the expression; whatever is collected
// must be a comma list without empty pieces.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static constexpr const char* kTypes[] = {"MC", "BL", "DC", "CT", "XX"};
    const auto type = kTypes[data[0] % 5];
    const std::string_view expression(reinterpret_cast<const char*>(data + 1), size - 1);
    quorin::modSetAnswers keys;
    const auto answers = keys.GetKeyAnswers(expression, type);
    if (answers.starts_with(',') || answers.ends_with(',') || answers.find(",,") != std::string::npos)
        __builtin_trap();
    return 0;
}
