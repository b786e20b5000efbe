#pragma once

#include "host/driver/Console.h"

namespace CLI {
class App;
}

namespace velm::host {

// Registers "inspect ITEM.xml [--static FILE] [--options N] [--state FILE | --state-bytes FILE]
// [--save-state-bytes FILE]": prints, as one JSON object, everything a driver receives from the item.
void addInspectCommand(CLI::App& app, Console& console);

}  // namespace velm::host
