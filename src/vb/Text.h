#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vb {

// A byte array as it crosses the driver's interface.
using ByteArray = std::vector<std::uint8_t>;

// UTF-8 text of a UTF-16LE byte array: an odd last byte is ignored, an unpaired surrogate
// becomes U+FFFD.
std::string textFromBytes(const std::uint8_t* data, std::size_t size);
inline std::string textFromBytes(const ByteArray& bytes)
{
    return textFromBytes(bytes.data(), bytes.size());
}

// UTF-16LE code units of UTF-8 text, no terminator, no byte-order mark; a malformed UTF-8
// sequence becomes U+FFFD.
ByteArray bytesFromText(std::string_view text);

// The number of UTF-16 code units of UTF-8 text (what "characters" count in a byte size).
std::size_t utf16Length(std::string_view text);

}  // namespace vb
