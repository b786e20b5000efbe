#include "companions/Calculator.h"

#include "platform/ProgramLauncher.h"

namespace quorin {

Calculator::~Calculator()
{
    stopWaiting();
}

void Calculator::raiseOrStart(const std::string& programPath, platform::WindowHandle driverWindow)
{
    auto& windows = platform::WindowSystem::instance();
    if (window_ != 0 && windows.isWindow(window_)) {
        windows.bringWindowToTop(window_);
        return;
    }
    if (isWaiting())
        return;
    window_ = 0;
    driverWindow_ = driverWindow;
    platform::ProgramLauncher::instance().launch(programPath, platform::WindowState::Hidden);
    if (capture())
        return;
    // A real program opens its window a little after it starts; look again on the loop, never blocking it.
    auto& loop = platform::EventLoop::current();
    waitDeadline_ = loop.now() + kWindowWaitMs;
    waitTimer_ = loop.startTimer(kWindowPollMs, [this] {
        if (capture() || platform::EventLoop::current().now() >= waitDeadline_)
            stopWaiting();
    });
}

void Calculator::close()
{
    stopWaiting();
    auto& windows = platform::WindowSystem::instance();
    if (window_ <= 0 || !windows.isWindow(window_))
        return;
    windows.setParent(window_, formerParent_);
    windows.sendMessage(window_, platform::kWmSysCommand, platform::kScClose, 0);
    window_ = 0;
}

bool Calculator::capture()
{
    auto& windows = platform::WindowSystem::instance();
    const auto found = windows.findWindow(kWindowClass, kWindowTitle);
    if (found == 0)
        return false;
    window_ = found;
    formerParent_ = windows.setParent(window_, driverWindow_);
    windows.bringWindowToTop(window_);
    windows.showWindow(window_, platform::kSwRestore);
    return true;
}

void Calculator::stopWaiting()
{
    if (waitTimer_ == 0)
        return;
    platform::EventLoop::current().stopTimer(waitTimer_);
    waitTimer_ = 0;
}

}  // namespace quorin
