#include "host/InputFiles.h"

#include <fstream>
#include <iterator>

namespace velm::host {

vb::ByteArray readFileBytes(const std::filesystem::path& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        throw UsageError("cannot read " + path.string() + ": no such file");
    std::ifstream file(path, std::ios::binary);
    vb::ByteArray bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw UsageError("cannot read " + path.string());
    return bytes;
}

std::string readFileText(const std::filesystem::path& path)
{
    const auto bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeFileBytes(const std::filesystem::path& path, const vb::ByteArray& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw UsageError("cannot write " + path.string());
}

}  // namespace velm::host
