#pragma once

#include "host/driver/Console.h"
#include "vb/Text.h"

#include <filesystem>
#include <stdexcept>
#include <string>

namespace velm::host {

// A file or option the user gave that cannot be used; the command line reports it with exit 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole regular file as bytes; UsageError naming the path and why when it cannot be read.
vb::ByteArray readFileBytes(const std::filesystem::path& path);
// The whole regular file as text; UsageError naming the path and why when it cannot be read.
std::string readFileText(const std::filesystem::path& path);
// At most the first bytes of a file, enough to tell what it holds; empty when it cannot be read.
std::string readFileHead(const std::filesystem::path& path, std::size_t bytes = 4096);
// The input the user named: the standard input for "-" (once per run), else the file.
std::string readInputText(const std::string& name, Console& console);
// Writes the bytes, replacing a regular file only once all are written; UsageError naming
// the path and why when they cannot be written.
void writeFileBytes(const std::filesystem::path& path, const vb::ByteArray& bytes);

// The static strings built into the program.
const char* bundledStaticStrings();

}  // namespace velm::host
