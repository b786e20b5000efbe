#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace platform {

// Whether name matches pattern: '*' stands for any run of characters, '?' for one character,
// letters compare without regard to ASCII case, as file names do on the modelled system.
bool matchesPattern(std::string_view name, std::string_view pattern);

// Deletes the regular files directly inside folder whose names match pattern and returns how
// many went; a missing folder, or a file that cannot be removed, is skipped without error.
std::size_t deleteMatching(const std::filesystem::path& folder, std::string_view pattern);

// Whether path names an existing regular file (a folder does not count).
bool fileExists(const std::filesystem::path& path);

}  // namespace platform
