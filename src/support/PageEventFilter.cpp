#include "support/PageEventFilter.h"

namespace quorin {
namespace {

constexpr std::int32_t kF5 = 116;

bool anyModifier(const platform::HtmlEvent& event)
{
    return event.altKey || event.shiftKey || event.ctrlKey;
}

}  // namespace

void PageEventFilter::blockKey(platform::HtmlEvent& event)
{
    event.cancelBubble = true;
    event.returnValue = false;
    event.keyCode = 32;
}

void PageEventFilter::cancelSelection(platform::WebBrowser& browser, platform::HtmlEvent& event)
{
    browser.Document().selection().empty();
    event.cancelBubble = true;
    event.returnValue = false;
}

void PageEventFilter::framePage(platform::WebBrowser& browser, platform::HtmlEvent& event, const LetterHandler& letter)
{
    if (event.type == "selectstart") {
        cancelSelection(browser, event);
    } else if (event.type == "keypress") {
        // In a key press 116 is the letter t, not F5, so it chooses like any other letter.
        if (!anyModifier(event)) {
            if (letter)
                letter(event.keyCode);
        } else if (!event.altKey) {
            blockKey(event);
        }
    } else if (event.type == "keydown") {
        const bool plain = !anyModifier(event) && event.keyCode != kF5;
        if (!plain && !event.altKey)
            blockKey(event);
    }
}

void PageEventFilter::edge(platform::WebBrowser& browser, platform::HtmlEvent& event)
{
    altLettersOnly(browser, event, "PNS");
}

void PageEventFilter::instructions(platform::WebBrowser& browser, platform::HtmlEvent& event)
{
    altLettersOnly(browser, event, "ACDEMNPRSTV");
}

void PageEventFilter::altLettersOnly(platform::WebBrowser& browser, platform::HtmlEvent& event,
                                     std::string_view letters)
{
    if (event.type == "selectstart") {
        cancelSelection(browser, event);
        return;
    }
    if (event.type != "keydown")
        return;
    const bool driverKey = event.altKey && event.keyCode > 0 && event.keyCode < 128
                           && letters.find(static_cast<char>(event.keyCode)) != std::string_view::npos;
    if (!driverKey)
        blockKey(event);
}

}  // namespace quorin
