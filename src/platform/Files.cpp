#include "platform/Files.h"

#include "vb/Strings.h"

#include <dirent.h>

#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace platform {
namespace {

// The length of the UTF-8 sequence starting at text[i], so that '?' never splits a character.
std::size_t characterLength(std::string_view text, std::size_t i)
{
    std::size_t length = 1;
    while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
        ++length;
    return length;
}

}  // namespace

bool matchesPattern(std::string_view name, std::string_view pattern)
{
    // Greedy matching with one backtrack point: the last '*' seen and the name position it took.
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && pattern[p] == '?') {
            n += characterLength(name, n);
            ++p;
        } else if (p < pattern.size() && vb::equalsIgnoreCase(pattern[p], name[n])) {
            ++n;
            ++p;
        } else if (starPattern != std::string_view::npos) {
            p = starPattern + 1;
            starName += characterLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::size_t deleteMatching(const std::filesystem::path& folder, std::string_view pattern)
{
    // The names are gathered first because removing entries while reading a folder is unspecified;
    // the folder is read with the system's calls, as a window's every closing sweeps it.
    std::vector<std::filesystem::path> doomed;
    const std::unique_ptr<DIR, int (*)(DIR*)> directory(opendir(folder.c_str()), closedir);
    if (!directory)
        return 0;
    while (const dirent* entry = readdir(directory.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == ".." || !matchesPattern(name, pattern))
            continue;
        const auto path = folder / name;
        std::error_code statusError;
        if (std::filesystem::symlink_status(path, statusError).type() == std::filesystem::file_type::regular)
            doomed.push_back(path);
    }
    std::size_t removed = 0;
    for (const auto& path : doomed) {
        std::error_code removeError;
        if (std::filesystem::remove(path, removeError))
            ++removed;
    }
    return removed;
}

bool fileExists(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace platform
