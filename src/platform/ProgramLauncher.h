#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace platform {

// How a started program shows its main window, as the runtime's Shell takes it.
enum class WindowState : std::int16_t {
    Hidden = 0,
    NormalFocus = 1,
    MinimizedFocus = 2,
    MaximizedFocus = 3,
    NormalNoFocus = 4,
    MinimizedNoFocus = 6,
};

// Starts programs by path. Headless, a program is a function registered under its file name
// (e.g. "dcalc.exe") that creates its windows when it is started. One per process.
class ProgramLauncher {
public:
    using Program = std::function<void(WindowState)>;

    // The launcher of this process.
    static ProgramLauncher& instance();

    // Makes fileName (any letter case) a program that launch starts by calling program;
    // replaces an earlier program of that name.
    void registerProgram(std::string_view fileName, Program program);
    // Forgets the program of fileName; an unknown name is ignored.
    void unregisterProgram(std::string_view fileName);

    // Whether the file-name part of path names a registered program.
    bool isRegistered(std::string_view path) const;
    // Starts the program named by the file-name part of path (after the last '/' or '\') with
    // its window in windowState and returns its task number, positive and never reused; a path
    // naming no registered program raises 53 "File not found". Errors of the program pass unchanged.
    std::int32_t launch(std::string_view path, WindowState windowState);

private:
    ProgramLauncher() = default;

    std::map<std::string, Program> programs_;
    std::int32_t lastTask_ = 0;
};

}  // namespace platform
