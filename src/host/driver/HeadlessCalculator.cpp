#include "host/driver/HeadlessCalculator.h"

#include "platform/ProgramLauncher.h"
#include "platform/WindowSystem.h"

namespace velm::host {

void HeadlessCalculator::install()
{
    platform::ProgramLauncher::instance().registerProgram(kProgram, [](platform::WindowState state) {
        auto& windows = platform::WindowSystem::instance();
        const auto window = windows.createWindow(kWindowClass, kWindowTitle);
        windows.setCloseHook(
            window, [](platform::WindowHandle closing) { platform::WindowSystem::instance().destroyWindow(closing); });
        if (state != platform::WindowState::Hidden)
            windows.showWindow(window, platform::kSwShow);
    });
}

}  // namespace velm::host
