#pragma once

#include "platform/HtmlElement.h"

#include <cstdint>
#include <string>

namespace platform {

// A document event as a browser hands it to its listener before the default action: the
// listener may cancel it (returnValue false), stop it (cancelBubble) or change keyCode.
struct HtmlEvent {
    // The event type: "click", "keypress", "keydown", "selectstart", ...
    std::string type;
    // The modifier keys held down.
    bool altKey = false;
    bool shiftKey = false;
    bool ctrlKey = false;
    // The key or character code of a key event.
    std::int32_t keyCode = 0;
    // False cancels the default action.
    bool returnValue = true;
    // True stops the event from reaching outer elements.
    bool cancelBubble = false;
    // The element that received the event.
    HtmlElement srcElement;

    // A "click" on the element with that id.
    static HtmlEvent click(std::string elementId);
    // A key event of type ("keypress" or "keydown") with its code and modifiers.
    static HtmlEvent key(std::string type, std::int32_t keyCode, bool alt = false, bool shift = false,
                         bool ctrl = false);
    // A "selectstart" (the candidate starts selecting text).
    static HtmlEvent selectStart();
};

}  // namespace platform
