#pragma once

#include "host/driver/Console.h"

namespace CLI {
class App;
}

namespace velm::host {

// Registers "serve ITEM.xml [--static FILE] [--resources DIR] [--support-dir DIR] [--case-dir DIR]
// [--options N] [--rect L,T,W,H] [--state-in FILE] [--port N] [--open]": one visit played live in
// a browser on 127.0.0.1, its address (with its token) printed on the first line, until
// interrupted.
void addServeCommand(CLI::App& app, Console& console);

}  // namespace velm::host
