#pragma once

#include "itemformat/ItemDefinition.h"
#include "qti/QtiDocument.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorin::qti {

// What the caller lets an import do.
struct ImportOptions {
    // Import an item whose fixed choices sit among shuffled ones, shuffling all of them.
    bool allowUnfixed = false;
    // The languages the static strings hold ("Id" of each language entry); the first is the
    // default for an item whose language they do not hold.
    std::vector<std::string> languages = {"ENU", "DEU"};
};

// An image the item's content names: where it lies, relative to the standard item's file, and
// the file name it has next to our item (the content names it by that name).
struct ImageReference {
    std::string source;
    std::string name;

    bool operator==(const ImageReference&) const = default;
};

// A standard item turned into ours, or the reason it was refused.
struct ImportResult {
    std::optional<itemformat::ItemDefinition> definition;
    // The images the caller copies next to the item.
    std::vector<ImageReference> images;
    // What the import assumed or left out, one sentence each.
    std::vector<std::string> notes;
    // Empty when imported; otherwise one line naming why the item cannot come in.
    std::string refusal;
    std::optional<QtiVersion> version;
};

// Imports a QTI 2.0, 2.1, 2.2 or 3.0 choice item; never throws, whatever the text.
ImportResult importItem(std::string_view text, const ImportOptions& options = {});

}  // namespace quorin::qti
