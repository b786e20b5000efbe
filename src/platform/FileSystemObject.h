#pragma once

#include "platform/ComObject.h"

#include <string>

namespace platform {

// The scripting file-system object, created by its programmatic name
// "Scripting.FileSystemObject" (the component registry knows it from the start), as far as
// programs use it here.
class FileSystemObject final : public ComObject {
public:
    // The programmatic name it is registered under.
    static constexpr const char* kProgId = "Scripting.FileSystemObject";

    // Deletes the files of one folder whose names match the last part of pattern, which may
    // hold "*" and "?" ("dir/*hdt.htm"); error 53 when none matches or none could be removed.
    void DeleteFile(const std::string& pattern);
};

}  // namespace platform
