#pragma once

#include <string>
#include <string_view>

namespace quorin {

// The HTML pages that draw the item window's frame: title bar, side edges, bottom strip and
// button bar. Each page is exact text (lines end in CR LF) that the item window hands to its
// frame browsers after rewriting the image references.
namespace ChromePages {

// What the button bar shows: the three static captions and which optional buttons it offers.
struct ButtonBar {
    std::string clearAllCaption;
    std::string instructionsCaption;
    std::string calculatorCaption;
    bool calculator = false;
    bool setAnswers = false;
};

// "." + className + "{" + style + "}".
std::string createStyleRule(std::string_view className, std::string_view style);
// The title bar, with the heading inserted as it stands (it may carry markup).
std::string createTitle(std::string_view heading);
std::string createLeftEdge();
std::string createRightEdge();
std::string createBottom();
// The button bar: reset, instructions, then the calculator and "Set Answers" when offered.
std::string createButtons(const ButtonBar& bar);

}  // namespace ChromePages
}  // namespace quorin
