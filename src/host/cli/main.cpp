#include "host/cli/CommandLine.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv)
{
    try {
        velm::host::Console console{std::cin, std::cout, std::cerr};
        const int exitCode = velm::host::runCommandLine(argc, argv, console);
        // Closing reports what the last write could not, on file systems that tell only then.
        if (std::fclose(stdout) != 0 && exitCode == 0) {
            std::fputs("velm-host: cannot write the standard output\n", stderr);
            return 2;
        }
        return exitCode;
    } catch (...) {
        std::fputs("velm-host: unexpected failure\n", stderr);
        return 1;
    }
}
