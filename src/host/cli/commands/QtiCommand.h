#pragma once

#include "host/driver/Console.h"

namespace CLI {
class App;
}

namespace velm::host {

// velm-host qti import|export PATH…: QTI choice items (files, folders, content packages) into
// our item format and ours out as QTI 2.2 or 3.0 items or a package; one line per item and a
// summary on the standard output; exit 1 when any item was refused.
void addQtiCommand(CLI::App& app, Console& console);

}  // namespace velm::host
