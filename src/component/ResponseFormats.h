#pragma once

#include "vb/ErrorReporter.h"

#include <string>

// The texts a response or a key takes on its way to and from the driver, each reached from
// one XML element; a failed conversion is reported to errors and gives the empty text.
namespace quorin::ResponseFormats {

// The children's texts of the element, joined by ", " (the short form of responses and keys).
std::string GetShortResponse(const std::string& sXml);
// A Responses element as the driver's answer list, after the visited and item-type marks.
std::string ConvertResponse(const std::string& sResponsesXml, vb::ErrorReporter* errors);
// An Answers key as Answer elements carrying each expression and weight as attributes.
std::string ConvertKey(const std::string& sKey, vb::ErrorReporter* errors);

}  // namespace quorin::ResponseFormats
