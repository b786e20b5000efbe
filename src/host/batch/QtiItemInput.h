#pragma once

#include "host/batch/ItemLint.h"

#include <filesystem>
#include <string>
#include <vector>

namespace velm::host {

// The item definition an item file holds, for every command that takes an item: our own item
// unchanged; a QTI item imported in memory, the images it names copied into the support folder
// (where the window looks for an image the driver does not know). A QTI item that cannot come
// in is a std::runtime_error of one line naming the file and the reason; allowUnfixed lets fixed
// choices be shuffled with the others.
std::string itemDefinitionText(std::string text, const std::string& itemPath, const std::filesystem::path& supportDir,
                               bool allowUnfixed);

// Whether the file is XML whose document element is a QTI assessment item.
bool isQtiItemFile(const std::filesystem::path& file);

// The lint findings of a QTI item file: a refusal as one error, else the findings of the item it
// imports to (checked beside the images it names), placed in the QTI file without a line.
std::vector<LintFinding> checkQtiItem(const ItemLint& lint, const std::filesystem::path& file, bool allowUnfixed);

}  // namespace velm::host
