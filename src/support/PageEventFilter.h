#pragma once

#include "platform/HtmlEvent.h"
#include "platform/WebBrowser.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace quorin {

// The keyboard and selection rules of the window's documents: the candidate selects no text
// anywhere, plain letters choose, the driver's Alt keys pass and every other combination is
// blocked before the browser acts on it.
class PageEventFilter {
public:
    // What a plain letter typed into a page does.
    using LetterHandler = std::function<void(std::int32_t keyAscii)>;

    // Blocks a key: the event stops here, its default action is cancelled and its code becomes a blank.
    static void blockKey(platform::HtmlEvent& event);
    // Empties the selection of the browser's document and cancels the selection that was starting.
    static void cancelSelection(platform::WebBrowser& browser, platform::HtmlEvent& event);

    // The title, bottom strip, stem, button bar and choice texts: selection is cancelled; a key
    // press without modifiers goes to letter, with Alt it passes, otherwise it is blocked; a key
    // down passes without modifiers (except F5) or with Alt and is blocked otherwise. Key presses
    // reach letter only when it is set.
    static void framePage(platform::WebBrowser& browser, platform::HtmlEvent& event, const LetterHandler& letter);
    // The left and right edges: selection is cancelled; only Alt+P, Alt+N and Alt+S key downs pass.
    static void edge(platform::WebBrowser& browser, platform::HtmlEvent& event);
    // The instructions: selection is cancelled; only key downs of Alt with one of the driver's
    // letters A, C, D, E, M, N, P, R, S, T and V pass.
    static void instructions(platform::WebBrowser& browser, platform::HtmlEvent& event);

private:
    // Selection is cancelled; a key down passes only with Alt and one of those upper-case letters.
    static void altLettersOnly(platform::WebBrowser& browser, platform::HtmlEvent& event, std::string_view letters);
};

}  // namespace quorin
