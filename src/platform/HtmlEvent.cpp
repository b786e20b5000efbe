#include "platform/HtmlEvent.h"

#include <utility>

namespace platform {

HtmlEvent HtmlEvent::click(std::string elementId)
{
    HtmlEvent event;
    event.type = "click";
    event.srcElement.id = std::move(elementId);
    return event;
}

HtmlEvent HtmlEvent::key(std::string type, std::int32_t keyCode, bool alt, bool shift, bool ctrl)
{
    HtmlEvent event;
    event.type = std::move(type);
    event.keyCode = keyCode;
    event.altKey = alt;
    event.shiftKey = shift;
    event.ctrlKey = ctrl;
    return event;
}

HtmlEvent HtmlEvent::selectStart()
{
    HtmlEvent event;
    event.type = "selectstart";
    return event;
}

}  // namespace platform
