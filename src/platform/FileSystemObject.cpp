#include "platform/FileSystemObject.h"

#include "platform/Files.h"
#include "vb/ComError.h"

#include <filesystem>

namespace platform {

void FileSystemObject::DeleteFile(const std::string& pattern)
{
    const std::filesystem::path path(pattern);
    const auto name = path.filename().string();
    const auto folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (name.empty() || deleteMatching(folder, name) == 0)
        vb::raise(vb::err::kFileNotFound);
}

}  // namespace platform
