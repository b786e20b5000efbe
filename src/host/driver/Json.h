#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace velm::host {

// A float as the shortest JSON number that reads back as the same float: whole values are
// integers; null for infinities and NaN.
nlohmann::ordered_json numberJson(float value);

// The value as one line of JSON text, fields in the order they were set; bytes that are not
// UTF-8 become U+FFFD.
std::string jsonText(const nlohmann::ordered_json& value);

// The string member name of an object; "" when it is missing or not a string.
std::string stringField(const nlohmann::ordered_json& object, const char* name);

}  // namespace velm::host
