#include "host/batch/QtiItemInput.h"

#include "itemformat/ItemFormat.h"
#include "qti/ItemImport.h"

#include <stdexcept>

namespace velm::host {
namespace {

// An image the item names but the folder lacks is left out: the window then shows it missing.
void copyImages(const std::vector<quorin::qti::ImageReference>& images, const std::filesystem::path& itemFolder,
    const std::filesystem::path& supportDir)
{
    for (const auto& image : images) {
        std::error_code error;
        std::filesystem::copy_file(itemFolder / image.source, supportDir / image.name,
            std::filesystem::copy_options::overwrite_existing, error);
    }
}

}  // namespace

std::string itemDefinitionText(std::string text, const std::string& itemPath, const std::filesystem::path& supportDir,
    bool allowUnfixed)
{
    if (!quorin::qti::isQtiItem(text))
        return text;
    quorin::qti::ImportOptions options;
    options.allowUnfixed = allowUnfixed;
    const auto imported = quorin::qti::importItem(text, options);
    if (!imported.definition)
        throw std::runtime_error(itemPath + ": refused: " + imported.refusal);
    const auto folder = itemPath == "-" ? std::filesystem::current_path() : std::filesystem::absolute(itemPath).parent_path();
    copyImages(imported.images, folder, supportDir);
    return quorin::itemformat::write(*imported.definition);
}

}  // namespace velm::host
