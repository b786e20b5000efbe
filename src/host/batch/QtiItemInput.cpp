#include "host/batch/QtiItemInput.h"

#include "host/driver/InputFiles.h"

#include "itemformat/ItemFormat.h"
#include "qti/ItemImport.h"

#include <stdexcept>

#include <unistd.h>

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
    const auto folder =
        itemPath == "-" ? std::filesystem::current_path() : std::filesystem::absolute(itemPath).parent_path();
    copyImages(imported.images, folder, supportDir);
    return quorin::itemformat::write(*imported.definition);
}

bool isQtiItemFile(const std::filesystem::path& file)
{
    if (file.extension() != ".xml")
        return false;
    return quorin::qti::isQtiItem(readFileHead(file));
}

std::vector<LintFinding> checkQtiItem(const ItemLint& lint, const std::filesystem::path& file, bool allowUnfixed)
{
    quorin::qti::ImportOptions options;
    options.allowUnfixed = allowUnfixed;
    const auto imported = quorin::qti::importItem(readFileText(file), options);
    if (!imported.definition)
        return {{file, 0, true, "refused: " + imported.refusal}};
    const auto folder = std::filesystem::temp_directory_path() / ("velm-lint-qti-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto item = folder / file.filename();
    const std::string text = quorin::itemformat::write(*imported.definition);
    writeFileBytes(item, vb::ByteArray(text.begin(), text.end()));
    copyImages(imported.images, std::filesystem::absolute(file).parent_path(), folder);
    auto findings = lint.check(item);
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    for (auto& finding : findings) {
        finding.file = file;
        finding.line = 0;
    }
    return findings;
}

}  // namespace velm::host
