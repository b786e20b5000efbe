#include "host/visit/ScreenJson.h"

#include "host/driver/Json.h"
#include "platform/CheckBox.h"
#include "platform/Container.h"
#include "platform/Form.h"
#include "platform/OptionButton.h"
#include "platform/Screen.h"
#include "platform/ScrollContainer.h"
#include "platform/WebBrowser.h"

namespace velm::host {
namespace {

using json = nlohmann::ordered_json;

json pixelsX(float twips)
{
    return numberJson(twips / platform::Screen::instance().twipsPerPixelX());
}
json pixelsY(float twips)
{
    return numberJson(twips / platform::Screen::instance().twipsPerPixelY());
}

template <class Shape>
void placeInto(json& target, const Shape& shape)
{
    target["left"] = pixelsX(shape.Left());
    target["top"] = pixelsY(shape.Top());
    target["width"] = pixelsX(shape.Width());
    target["height"] = pixelsY(shape.Height());
}

json controlsJson(const platform::Container& container, const FrameOf& frameOf);

json controlJson(const platform::Control& control, const FrameOf& frameOf)
{
    json result = {{"kind", control.kind()}, {"name", control.Name()}, {"index", control.Index()}};
    placeInto(result, control);
    result["visible"] = control.Visible();
    result["enabled"] = control.Enabled();
    result["caption"] = control.Caption();
    if (const auto* box = dynamic_cast<const platform::CheckBox*>(&control))
        result["value"] = box->Value();
    if (const auto* option = dynamic_cast<const platform::OptionButton*>(&control))
        result["value"] = option->Value() ? 1 : 0;
    if (const auto* browser = dynamic_cast<const platform::WebBrowser*>(&control)) {
        result["frame"] = frameOf(*browser);
        result["contentHeight"] = browser->ContentHeight();
    }
    if (const auto* scroll = dynamic_cast<const platform::ScrollContainer*>(&control)) {
        result["scrollingHeight"] = pixelsY(static_cast<float>(scroll->ScrollingHeight()));
        result["verticalPosition"] = pixelsY(static_cast<float>(scroll->VerticalPosition()));
    }
    if (const auto* container = dynamic_cast<const platform::Container*>(&control))
        result["controls"] = controlsJson(*container, frameOf);
    return result;
}

json controlsJson(const platform::Container& container, const FrameOf& frameOf)
{
    auto controls = json::array();
    const auto& frontFirst = container.zOrder();
    for (auto control = frontFirst.rbegin(); control != frontFirst.rend(); ++control)
        controls.push_back(controlJson(**control, frameOf));
    return controls;
}

json windowsJson(platform::WindowHandle parent, const FrameOf& frameOf)
{
    auto& system = platform::WindowSystem::instance();
    auto windows = json::array();
    const auto topmostFirst = system.childrenOf(parent);
    for (auto next = topmostFirst.rbegin(); next != topmostFirst.rend(); ++next) {
        const auto handle = *next;
        json window = {{"handle", handle},
                       {"className", system.className(handle)},
                       {"title", system.title(handle)},
                       {"visible", system.isVisible(handle)}};
        if (const auto* form = platform::Form::fromHandle(handle)) {
            window["name"] = form->Name();
            window["visible"] = form->Visible();
            placeInto(window, *form);
            window["controls"] = controlsJson(*form, frameOf);
        }
        window["windows"] = windowsJson(handle, frameOf);
        windows.push_back(std::move(window));
    }
    return windows;
}

}  // namespace

json screenJson(platform::WindowHandle driverWindow, const FrameOf& frameOf)
{
    return {{"windows", windowsJson(driverWindow, frameOf)}};
}

}  // namespace velm::host
