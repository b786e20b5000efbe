#pragma once

#include <filesystem>
#include <string>

namespace velm::host {

// The item definition an item file holds, for every command that takes an item: our own item
// unchanged; a QTI item imported in memory, the images it names copied into the support folder
// (where the window looks for an image the driver does not know). A QTI item that cannot come
// in is a std::runtime_error of one line naming the file and the reason; allowUnfixed lets fixed
// choices be shuffled with the others.
std::string itemDefinitionText(std::string text, const std::string& itemPath, const std::filesystem::path& supportDir,
    bool allowUnfixed);

}  // namespace velm::host
