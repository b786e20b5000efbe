#pragma once

#include "itemformat/QtiScoring.h"

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <vector>

namespace quorin::qti {

// The exact scoring of a normalised standard item: its response declaration named
// responseIdentifier (correct response, mapping), the SCORE outcome's default and its response
// processing (a template by the last part of its URI, or its rules with the response variable
// renamed RESPONSE). Throws ImportRefusal for what cannot be kept.
itemformat::QtiScoring scoringOf(pugi::xml_node item, std::string_view responseIdentifier,
                                 std::vector<itemformat::ChoiceIdentifier> choices, std::vector<std::string>& notes);

}  // namespace quorin::qti
