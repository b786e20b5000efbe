#pragma once

#include "host/cli/ItemOptions.h"
#include "host/driver/Console.h"
#include "host/visit/Visit.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace CLI {
class App;
}

namespace velm::host {

// The options of every subcommand that plays a visit: the item's, the resource and case
// folders, the option bits, the first rectangle and a state to hand back.
struct VisitOptions {
    ItemOptions item;
    std::string resourceDir;
    std::string caseDir;
    std::int32_t options = 0;
    std::string rect = "0,0,9000,6000";
    std::string stateInPath;

    // Adds ITEM.xml, --static, --support-dir, --resources, --case-dir, --options, --rect and --state-in.
    void addTo(CLI::App& command);
    // The visit's settings; UsageError for a bad rectangle or a file that cannot be read.
    VisitSettings settings(Console& console) const;
};

// The support folder a visit uses when none is given: velm/support/ in $XDG_CACHE_HOME, else in ~/.cache.
std::filesystem::path defaultRunSupportDir();

}  // namespace velm::host
