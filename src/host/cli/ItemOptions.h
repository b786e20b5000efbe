#pragma once

#include "host/driver/Console.h"
#include "host/driver/Session.h"

#include <filesystem>
#include <string>

namespace CLI {
class App;
}

namespace velm::host {

// The options every item-running subcommand shares: the item file, the static strings and the
// support folder.
struct ItemOptions {
    std::string itemPath;
    std::string staticPath;
    std::string supportDir;
    bool allowUnfixed = false;

    // Adds ITEM.xml, --static, --support-dir and --allow-unfixed to a subcommand.
    void addTo(CLI::App& command);
    // The item definition text, from the standard input for "-"; UsageError when it cannot be
    // read. A QTI item is imported (its images copied to the support folder); one that cannot
    // come in fails with one line naming the reason.
    std::string itemText(Console& console) const;
    // The session settings: static strings from --static or the bundled ones, the support
    // folder (created when missing) and the item's folder for its resources.
    SessionSettings settings(Console& console) const;

private:
    // The support folder, created when missing; UsageError when it cannot be.
    std::filesystem::path supportFolder() const;
};

// The folder name-UID in the temporary folder, made for this user alone when missing;
// UsageError when it exists but is not a folder of this user that no one else may enter.
std::filesystem::path privateTempFolder(const std::string& name);

}  // namespace velm::host
