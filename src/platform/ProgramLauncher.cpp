#include "platform/ProgramLauncher.h"

#include "vb/ComError.h"
#include "vb/Strings.h"

#include <limits>

namespace platform {
namespace {

std::string_view fileNameOf(std::string_view path)
{
    const auto separator = path.find_last_of("/\\");
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

}  // namespace

ProgramLauncher& ProgramLauncher::instance()
{
    static ProgramLauncher launcher;
    return launcher;
}

void ProgramLauncher::registerProgram(std::string_view fileName, Program program)
{
    programs_[vb::upperAscii(fileName)] = std::move(program);
}

void ProgramLauncher::unregisterProgram(std::string_view fileName)
{
    programs_.erase(vb::upperAscii(fileName));
}

bool ProgramLauncher::isRegistered(std::string_view path) const
{
    return programs_.contains(vb::upperAscii(fileNameOf(path)));
}

std::int32_t ProgramLauncher::launch(std::string_view path, WindowState windowState)
{
    const auto it = programs_.find(vb::upperAscii(fileNameOf(path)));
    if (it == programs_.end() || !it->second)
        vb::raise(vb::err::kFileNotFound);
    // A copy, because a starting program may register or unregister programs itself.
    const Program program = it->second;
    if (lastTask_ == std::numeric_limits<std::int32_t>::max())
        vb::raise(vb::err::kOverflow);
    const std::int32_t task = ++lastTask_;
    program(windowState);
    return task;
}

}  // namespace platform
