#pragma once

#include "host/driver/Console.h"

namespace CLI {
class App;
}

namespace velm::host {

// Registers "score ITEM.xml --response TEXT [--static FILE]": rescores one response (a comma
// list, a Responses element or an answer list) and prints the counts and the state as JSON.
void addScoreCommand(CLI::App& app, Console& console);

}  // namespace velm::host
