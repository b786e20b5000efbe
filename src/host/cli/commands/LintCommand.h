#pragma once

#include "host/driver/Console.h"

namespace CLI {
class App;
}

namespace velm::host {

// velm-host lint PATH…: checks item files, or every item file under a folder, and reports each
// fault as FILE:LINE: error|warning: message (or a JSON line); exit 1 when any error.
void addLintCommand(CLI::App& app, Console& console);

}  // namespace velm::host
