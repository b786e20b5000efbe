#pragma once

#include <string_view>

namespace velm::host {

// The live page with its style and script inside: one file, served at "/".
std::string_view livePageHtml();

}  // namespace velm::host
