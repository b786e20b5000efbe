#include "host/cli/ItemOptions.h"

#include "host/batch/QtiItemInput.h"
#include "host/driver/InputFiles.h"

#include <CLI/CLI.hpp>

namespace velm::host {

void ItemOptions::addTo(CLI::App& command)
{
    command.add_option("ITEM", itemPath, "The item definition (XML, UTF-8).")->required();
    command.add_option("--static", staticPath, "The static strings (XML, UTF-8); the bundled English ones without it.");
    command.add_option("--support-dir", supportDir, "The driver's support-file folder; a temporary one without it.");
    command.add_flag("--allow-unfixed", allowUnfixed, "A QTI item may shuffle its fixed choices with the others.");
}

std::string ItemOptions::itemText(Console& console) const
{
    return itemDefinitionText(readInputText(itemPath, console), itemPath, supportFolder(), allowUnfixed);
}

std::filesystem::path ItemOptions::supportFolder() const
{
    const auto folder = supportDir.empty() ? std::filesystem::temp_directory_path() / "velm-host-support"
                                           : std::filesystem::path(supportDir);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw UsageError("cannot create the support folder " + folder.string());
    return folder;
}

SessionSettings ItemOptions::settings(Console& console) const
{
    SessionSettings settings;
    settings.staticStrings = staticPath.empty() ? std::string(bundledStaticStrings()) : readInputText(staticPath, console);
    settings.supportDir = supportFolder();
    settings.resourceDir = std::filesystem::absolute(itemPath).parent_path();
    return settings;
}

}  // namespace velm::host
