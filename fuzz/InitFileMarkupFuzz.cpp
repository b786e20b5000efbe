#include "companions/InitFileMarkup.h"

#include <cstddef>
#include <cstdint>

// Whatever the file holds, the stripping ends, only ever removes (never adds or changes) bytes,
// and keeps the two-byte text aligned.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const vb::ByteArray bytes(data, data + size);
    const auto stripped = quorin::stripInitFileMarkup(bytes);
    if (stripped.size() > bytes.size() || (bytes.size() - stripped.size()) % 2 != 0)
        __builtin_trap();
    // What stays is the input with whole code units cut out: a subsequence, in order.
    std::size_t i = 0;
    for (std::size_t j = 0; j + 1 < stripped.size(); j += 2) {
        while (i + 1 < bytes.size() && (bytes[i] != stripped[j] || bytes[i + 1] != stripped[j + 1]))
            i += 2;
        if (i + 1 >= bytes.size())
            __builtin_trap();
        i += 2;
    }
    return 0;
}
