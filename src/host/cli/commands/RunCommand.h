#pragma once

#include "host/driver/Console.h"

namespace CLI {
class App;
}

namespace velm::host {

// Registers "run ITEM.xml [--static FILE] [--resources DIR] [--support-dir DIR] [--options N]
// [--rect L,T,W,H] [--script FILE|-] [--state-in FILE] [--answer ok|cancel] [--json]": one
// visit of an item, scripted, printing what the candidate sees at every snapshot and at the end.
void addRunCommand(CLI::App& app, Console& console);

}  // namespace velm::host
