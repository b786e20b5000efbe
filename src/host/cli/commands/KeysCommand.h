#pragma once

#include "host/driver/Console.h"

namespace CLI {
class App;
}

namespace velm::host {

// Registers "keys [EXPRESSION] [--type CODE]": prints the answers a key expression names (exit 1
// and a line on the error stream when it is not well formed), or,
// without EXPRESSION, one line of answers for each line of the input.
void addKeysCommand(CLI::App& app, Console& console);

}  // namespace velm::host
