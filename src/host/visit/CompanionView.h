#pragma once

#include "platform/WindowSystem.h"

#include <nlohmann/json.hpp>

#include <string>

namespace platform {
class CommandButton;
class Form;
class WebBrowser;
}  // namespace platform

namespace velm::host {

// What the candidate sees beside the item window — the exhibit window with its child display,
// the instructions window and the calculator — found by their windows inside the driver's.
class CompanionView {
public:
    explicit CompanionView(platform::WindowHandle driverWindow) : driverWindow_(driverWindow) {}

    // The exhibit window; null when none is loaded.
    platform::Form* exhibitWindow() const;
    // The exhibit window's Exit button; null when there is no exhibit window.
    platform::CommandButton* exhibitExit() const;
    // The instructions window's page; null when the window is not loaded.
    platform::WebBrowser* instructionsPage() const;
    // The calculator's window, on the desktop or held inside the driver's; 0 when none runs.
    platform::WindowHandle calculatorWindow() const;

    // {open, visible, left, top, width, height, progid, exitVisible, child}, or null.
    nlohmann::ordered_json exhibitWindowJson(const std::string& progid) const;
    // {open, caption, left, top, width, height, html, scrollBars}, or null.
    nlohmann::ordered_json instructionsJson() const;
    // {running, captured}: whether a calculator runs and whether the item holds its window.
    nlohmann::ordered_json calculatorJson() const;

private:
    platform::WindowHandle driverWindow_;
};

}  // namespace velm::host
