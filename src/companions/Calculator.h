#pragma once

#include "platform/EventLoop.h"
#include "platform/WindowSystem.h"

#include <cstdint>
#include <string>

namespace quorin {

// The one calculator an item window keeps: the driver's calculator program, started on the first
// press, its window captured into the driver's window and brought to the front on later presses,
// and closed when the item window unloads.
class Calculator {
public:
    // The program the driver supplies, and the class and title of the window it opens.
    static constexpr const char* kProgram = "dcalc.exe";
    static constexpr const char* kWindowClass = "SciCalc";
    static constexpr const char* kWindowTitle = "Calculator";
    // How long a started program may take to open its window, and how often it is looked for.
    static constexpr std::int64_t kWindowWaitMs = 3000;
    static constexpr std::int64_t kWindowPollMs = 100;

    Calculator() = default;
    ~Calculator();
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    // Brings the captured calculator to the front, or starts the program at programPath and
    // captures its window into driverWindow as soon as it shows (nothing while a start is still
    // waiting for its window). Errors of the start pass to the caller.
    void raiseOrStart(const std::string& programPath, platform::WindowHandle driverWindow);
    // Gives a captured calculator back its former parent and asks it to close; stops waiting for one.
    void close();

    // The captured calculator's window; 0 when none was captured yet.
    platform::WindowHandle window() const { return window_; }
    // Whether a started program's window is still being waited for.
    bool isWaiting() const { return waitTimer_ != 0; }

private:
    // Captures the calculator's window when it exists; false when it does not yet.
    bool capture();
    void stopWaiting();

    platform::WindowHandle window_ = 0;
    platform::WindowHandle formerParent_ = 0;
    platform::WindowHandle driverWindow_ = 0;
    platform::EventLoop::TimerId waitTimer_ = 0;
    std::int64_t waitDeadline_ = 0;
};

}  // namespace quorin
