#pragma once

#include <string>
#include <string_view>

namespace velm::host {

// text as a JSON string literal, quotes included; invalid UTF-8 bytes become U+FFFD.
std::string jsonString(std::string_view text);

// A float as a JSON number: the shortest text that reads back as the same float.
std::string jsonNumber(float value);

}  // namespace velm::host
