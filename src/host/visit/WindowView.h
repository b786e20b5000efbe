#pragma once

#include "host/driver/Json.h"
#include "platform/Form.h"
#include "platform/WindowSystem.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class CommandButton;
class WebBrowser;
}  // namespace platform

namespace velm::host {

// The item window as a driver's tool sees it: its controls found by name, the kind of answer
// control in use, and everything the candidate sees, as JSON. A view of no window is empty.
class WindowView {
public:
    // The window named name (the item window unless told) among the windows inside the
    // driver's window, at any depth; null when there is none.
    static platform::Form* find(platform::WindowHandle driverWindow, std::string_view name = "frmMain");
    // {visible, left, top, width, height, scaleWidth, scaleHeight} of a window; nulls for none.
    static nlohmann::ordered_json windowJson(const platform::Form* window);

    // A view of window (null for none).
    explicit WindowView(platform::Form* window);

    // Whether there is a window to look at.
    bool hasWindow() const { return window_ != nullptr; }
    // "check" or "option": the kind whose elements carry the letter captions; "" when neither does.
    std::string kind() const;
    // The answer controls of the kind in use, by position; empty when there is none.
    std::vector<platform::Control*> answerControls() const;
    // Whether an answer control is checked (a check box at 1, a selected option button).
    static bool isChecked(const platform::Control& control);
    // The position of the choice whose letter (its caption before the ".", ASCII case ignored)
    // is letter; empty when none.
    std::optional<std::int16_t> positionOf(std::string_view letter) const;
    // The control of that name and kind on the window; null when none.
    template <class T>
    T* control(std::string_view name) const
    {
        return window_ ? window_->findAs<T>(name) : nullptr;
    }
    // The choice text browser of a position; null when none.
    platform::WebBrowser* choiceText(std::int16_t position) const;
    // The exhibit button of that index (1 for the first); null when there is none.
    platform::CommandButton* exhibitButton(std::int16_t index) const;
    // The frame page a candidate's key or selection happens on: "title", "bottom", "stem",
    // "buttons", "left" or "right"; null for any other name or no window.
    platform::WebBrowser* page(std::string_view place) const;

    // window, pages, controls, choices and exhibits; null values and empty arrays for no window.
    nlohmann::ordered_json toJson() const;

private:
    nlohmann::ordered_json pagesJson() const;
    nlohmann::ordered_json controlsJson() const;
    nlohmann::ordered_json choicesJson() const;
    nlohmann::ordered_json exhibitsJson() const;

    platform::Form* window_;
};

}  // namespace velm::host
