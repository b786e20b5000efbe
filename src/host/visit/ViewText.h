#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace velm::host {

// The text a reader sees in an HTML page: tags dropped, style, script and title content left
// out, entities decoded, blank runs as one blank, one line per block, no empty lines.
std::string plainTextOf(std::string_view html);

// A view of a visit (as Visit::view makes it) as text for a person: the heading, the window,
// the title, the stem and the lettered choices with their marks, the buttons, the messages,
// the state, the responses, the status, ViewedAll, the score and any errors.
std::string viewText(const nlohmann::ordered_json& view, const std::string& heading);

}  // namespace velm::host
