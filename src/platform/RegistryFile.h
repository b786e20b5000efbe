#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One registered class: its programmatic name, its class identifier and the shared library
// that serves it.
struct RegistryEntry {
    std::string progId;
    std::string classId;
    std::filesystem::path library;

    friend bool operator==(const RegistryEntry&, const RegistryEntry&) = default;
};

// The registry file that maps programmatic names and class identifiers to in-process servers.
// One entry a line: programmatic name, class identifier and absolute library path separated by
// tabs; blank lines and lines starting with '#' are comments. Names and identifiers compare
// without regard to ASCII case.
class RegistryFile {
public:
    // The file this process uses: $VELM_REGISTRY, else $XDG_CONFIG_HOME/velm/registry (an
    // absolute XDG_CONFIG_HOME only), else $HOME/.config/velm/registry; empty when none is set.
    static std::filesystem::path defaultPath();

    // The entries of the file at path; a missing file is an empty registry. A damaged line, or
    // a file that exists but cannot be read, raises 429 naming the file (and the line).
    static RegistryFile load(const std::filesystem::path& path);

    // An empty registry that save writes to path.
    explicit RegistryFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }
    const std::vector<RegistryEntry>& entries() const { return entries_; }

    // The entry with that programmatic name, or nothing.
    std::optional<RegistryEntry> findByProgId(std::string_view progId) const;
    // The entry with that class identifier, or nothing.
    std::optional<RegistryEntry> findByClassId(std::string_view classId) const;

    // Adds the entry in place of any with its programmatic name or class identifier. An empty
    // field, a field holding a tab or line break, or a relative library path raises 5.
    void add(RegistryEntry entry);
    // Removes the entries served by library; returns how many went.
    std::size_t removeLibrary(const std::filesystem::path& library);
    // Removes the entries with that programmatic name; returns how many went.
    std::size_t removeProgId(std::string_view progId);

    // Writes the file through a temporary file renamed over it, creating its folder; a file
    // that cannot be written raises 75 naming the path.
    void save() const;

private:
    std::filesystem::path path_;
    std::vector<RegistryEntry> entries_;
};

}  // namespace platform
