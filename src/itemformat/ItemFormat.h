#pragma once

#include "itemformat/ItemDefinition.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorin::itemformat {

// An item definition read from text, or why the text holds none.
struct ReadResult {
    std::optional<ItemDefinition> item;
    // Empty when item is set; otherwise one line naming the fault.
    std::string error;
    // The line of the fault; 0 when it has none.
    int errorLine = 0;
};

// An item file's bytes as the UTF-8 text read parses: UTF-16LE (with or without its byte-order mark)
// decoded, a UTF-8 byte-order mark dropped, anything else as it is.
std::string itemText(std::string_view bytes);

// Reads an item definition from its text (UTF-8, or UTF-16LE as the component's own files may be). Only
// malformed XML and a document element other than "MultipleChoiceItem" fail.
ReadResult read(std::string_view text);

// The item definition as UTF-8 text with a declaration, indented, HTML texts in CDATA: the
// component loads it as it loads a hand-written item.
std::string write(const ItemDefinition& item);

}  // namespace quorin::itemformat
