#include "host/cli/ItemOptions.h"

#include "host/batch/QtiItemInput.h"
#include "host/driver/InputFiles.h"

#include <CLI/CLI.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
    auto folder = supportDir.empty() ? privateTempFolder("velm-host") / "support" : std::filesystem::path(supportDir);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        throw UsageError("cannot create the support folder " + folder.string());
    return folder;
}

SessionSettings ItemOptions::settings(Console& console) const
{
    SessionSettings settings;
    settings.staticStrings =
        staticPath.empty() ? std::string(bundledStaticStrings()) : readInputText(staticPath, console);
    settings.supportDir = supportFolder();
    settings.resourceDir = std::filesystem::absolute(itemPath).parent_path();
    return settings;
}

// Another user could have made the folder first, to read or plant what the driver keeps there.
std::filesystem::path privateTempFolder(const std::string& name)
{
    auto folder = std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getuid()));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw UsageError("cannot create the folder " + folder.string());
    struct stat status = {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != getuid()
        || (status.st_mode & 077) != 0)
        throw UsageError(folder.string() + " is not this user's own folder; name a support folder with --support-dir");
    return folder;
}

}  // namespace velm::host
