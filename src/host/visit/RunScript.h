#pragma once

#include "host/driver/Rect.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velm::host {

// "L,T,W,H" as a rectangle (blanks around the numbers allowed, width and height not negative);
// false when the text is not one.
bool parseRect(std::string_view text, RunRect& rect);

// One thing the candidate or the driver does during a scripted visit.
struct RunAction {
    enum class Kind {
        Click,  // the answer control of a choice
        Text,  // a click inside the choice's text
        Key,  // a typed character, on the choices or on a page
        KeyDown,  // a key pressed down on a page
        Select,  // the candidate starts dragging a text selection on a page
        Scroll,  // the item area to a position, or to its end
        Button,  // an element of the button bar
        Answer,  // how the next message boxes are answered
        Resize,
        Show,
        Hide,
        Status,  // the driver asks for the display status
        Leave,  // the driver stores the state and releases the display
        Return,  // a new display, shown, the stored state handed back
        Wait,  // time passes
        Snapshot,  // the view is printed
        Exhibit,  // an exhibit button, or the exhibit window's Exit button
        Calculator,  // the candidate closes the calculator
    };

    Kind kind = Kind::Snapshot;
    // The script line it came from (1 for the first) and that line as written.
    int line = 0;
    std::string source;
    // Click and Text, and a place "choice:X": the letter as shown, or "" when position names the choice.
    std::string letter;
    // Click and Text, and a place "choice:X": the position given as "#p"; -1 when a letter names the choice.
    std::int32_t position = -1;
    // Key: the character code; KeyDown: the key code.
    std::int16_t keyCode = 0;
    // Key, KeyDown and Select: where it happens: "choices" (the focus on the choices), a page
    // ("title", "bottom", "stem", "buttons", "left", "right", "instructions") or "choice" (a choice's text).
    std::string place = "choices";
    // Key and KeyDown: the modifier keys held.
    bool alt = false;
    bool shift = false;
    bool ctrl = false;
    // Exhibit: the button's index (1 for the first); 0 for the exhibit window's Exit button.
    std::int16_t exhibit = 0;
    // Scroll: the position in twips, or -1 for the end.
    std::int32_t scrollTo = 0;
    // Button: the element id.
    std::string elementId;
    // Answer: true for OK, false for Cancel.
    bool answerOk = true;
    // Resize and Show: the rectangle.
    RunRect rect;
    // Wait: milliseconds.
    std::int64_t waitMs = 0;
};

// A script line that cannot be run; what() names the line number, the reason and the text.
class ScriptError : public std::runtime_error {
public:
    ScriptError(int line, const std::string& reason, std::string_view source);
    // The line number, 1 for the first.
    int line() const { return line_; }

private:
    int line_;
};

// The actions of a visit script: one per line, "#" at the start of a word ending the line
// (except as the argument of click, text and key, and in a place "choice:#p"), blank lines ignored.
class RunScript {
public:
    // The longest a single wait may last, so that a script always ends.
    static constexpr std::int64_t kMaxWaitMs = 3'600'000;

    // Parses the whole text; ScriptError for the first line that is not an action, whose
    // argument is wrong, or that needs a display the script has left (or returns to one it has not left).
    static RunScript parse(std::string_view text);
    // One line on its own, given whether the display is held; empty for a blank or comment
    // line; ScriptError (as line 1) for a line parse would refuse.
    static std::optional<RunAction> parseLine(std::string_view source, bool displayHeld);

    // The actions in script order.
    const std::vector<RunAction>& actions() const { return actions_; }

private:
    std::vector<RunAction> actions_;
};

}  // namespace velm::host
