#pragma once

#include "host/driver/Console.h"

namespace CLI {
class App;
}

namespace velm::host {

// Registers "demo ITEM.xml [--state FILE] [--static FILE]": one visit of an item as a driver
// makes it, told step by step: creation, initialisation, showing, a restored state, the
// responses in each layout, the answer status, the score and the driver's log.
void addDemoCommand(CLI::App& app, Console& console);

}  // namespace velm::host
