#pragma once

#include "platform/ComObject.h"

#include <string>

namespace platform {

// The scripting file-system object, created by its programmatic name
// "Scripting.FileSystemObject", as far as programs use it here.
class FileSystemObject : public ComObject {
public:
    // Deletes the files matching a "*"-pattern in one folder ("dir/*hdt.htm"); error 53 when none matches.
    virtual void DeleteFile(const std::string& pattern) = 0;
};

}  // namespace platform
