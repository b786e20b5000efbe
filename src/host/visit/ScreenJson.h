#pragma once

#include "platform/WindowSystem.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <string>

namespace platform {
class WebBrowser;
}

namespace velm::host {

// The frame that shows a browser control's document; "" when it has none.
using FrameOf = std::function<std::string(const platform::WebBrowser& browser)>;

// Everything inside the driver's window as the page draws it, in CSS pixels: {"windows":[...]},
// each window {handle, name, className, title, visible, left, top, width, height, controls,
// windows} relative to its parent window, back to front, each control {kind, name, index, left, top, width,
// height, visible, enabled, caption, ...} relative to its container, back to front, with a
// check box's or option button's "value", a browser's "frame" and "contentHeight", a scroll
// container's "scrollingHeight" and "verticalPosition", and a container's "controls".
nlohmann::ordered_json screenJson(platform::WindowHandle driverWindow, const FrameOf& frameOf);

}  // namespace velm::host
