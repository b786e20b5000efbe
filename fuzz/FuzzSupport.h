#pragma once

#include <filesystem>

// The support folder every fuzz target hands the component: the frame bitmaps it writes land in a
// folder of their own, never in the temporary folder's root.
inline const std::filesystem::path& fuzzSupportDir()
{
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / "velm-fuzz-support";
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}
