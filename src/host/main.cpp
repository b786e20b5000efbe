#include "host/CommandLine.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv)
{
    try {
        velm::host::Console console{std::cin, std::cout, std::cerr};
        return velm::host::runCommandLine(argc, argv, console);
    } catch (...) {
        std::fputs("velm-host: unexpected failure\n", stderr);
        return 1;
    }
}
