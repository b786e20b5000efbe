#pragma once

#include "host/driver/Console.h"

namespace CLI {
class App;
}

namespace velm::host {

// velm-host rescore ITEM.xml [RESPONSES|-]: scores stored responses through the component, one
// record in, one record out, in input order.
void addRescoreCommand(CLI::App& app, Console& console);

}  // namespace velm::host
