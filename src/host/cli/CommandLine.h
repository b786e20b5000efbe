#pragma once

#include "host/driver/Console.h"

namespace velm::host {

// Runs one velm-host command line: 0 on success, 2 for bad options or an unreadable or
// unwritable file (one line on the error stream), 1 when the item or a line fails (one line
// naming the failure).
int runCommandLine(int argc, const char* const* argv, Console& console);

}  // namespace velm::host
