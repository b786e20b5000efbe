#include "host/Json.h"

#include "vb/Text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace velm::host {

std::string jsonString(std::string_view text)
{
    // A round trip through UTF-16 replaces malformed UTF-8 before it reaches the output.
    const std::string valid = vb::textFromBytes(vb::bytesFromText(text));
    std::string out = "\"";
    for (char c : valid) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string jsonNumber(float value)
{
    if (!std::isfinite(value))
        return "null";
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : "null";
}

}  // namespace velm::host
