#pragma once

#include "itemformat/ItemDefinition.h"
#include "qti/QtiDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorin::qti {

// An item of ours as a QTI item, or why it cannot be one.
struct ExportResult {
    // The QTI item document; empty when refused.
    std::string xml;
    // The images its content names, as paths relative to the item (and so to ours).
    std::vector<std::string> images;
    // Empty when exported; otherwise one line naming why not.
    std::string refusal;
};

// Writes an item of ours as a QTI 2.2 or 3.0 choice item named Identifier, scoring every
// response as our scorer does: by the QTI scoring the item keeps, else by its answer keys.
ExportResult exportItem(const itemformat::ItemDefinition& item, QtiVersion version, std::string_view identifier);

}  // namespace quorin::qti
