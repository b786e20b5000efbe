#pragma once

#include "vb/ComError.h"
#include "vb/Text.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quorin::test {

// The parts of a small item definition that tests vary; the four choices A to D are fixed.
struct ItemParts {
    std::string language = "ENU";
    std::string responseType = "S";
    std::string max = "2";  // "" leaves the attribute out
    std::string min = "1";  // "" leaves the attribute out
    std::string answers = R"(<Answer Weight="2">A AND C</Answer><Answer Weight="0.5">A</Answer>)"
                          R"(<Answer Weight="-1">B</Answer>)";
    std::string state;  // a State element inside the definition, or none
};

// The item definition XML with those parts.
std::string itemXml(const ItemParts& parts = {});

// A State element holding one Response per identifier.
std::string stateWith(const std::vector<std::string>& responses);

// The static strings of the examples folder (languages "ENU" with font Verdana and "DEU" with Arial).
std::string exampleStaticStrings();

// UTF-16LE bytes of UTF-8 text, as the driver hands text over.
inline vb::ByteArray bytes(const std::string& text) { return vb::bytesFromText(text); }

// The error the call fails with, as the driver sees it; nothing when it returns.
std::optional<vb::ComError> failureOf(const std::function<void()>& call);

}  // namespace quorin::test
