#include "host/batch/ResponseReader.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

// The first byte picks JSON lines or CSV, the rest is the input. Records come out in the order
// of the input, each numbered by a line the input has, and a sound record names no error.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::istringstream in(text);
    const auto format =
        data[0] % 2 == 0 ? velm::host::ResponseReader::Format::JsonLines : velm::host::ResponseReader::Format::Csv;
    velm::host::ResponseReader reader(in, format);
    std::size_t lastLine = 0;
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    while (const auto record = reader.next()) {
        if (record->line <= lastLine || record->line > lines)
            __builtin_trap();
        if (!record->error.empty() && !record->response.empty())
            __builtin_trap();
        lastLine = record->line;
    }
    return 0;
}
