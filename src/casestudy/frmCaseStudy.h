#pragma once

#include "platform/Form.h"
#include "platform/WebBrowser.h"

#include <cstdint>
#include <memory>
#include <string>

namespace quorin::casestudy {

// The case study's window: the passage on the left, and on the right the question's area,
// where the bound item places its own window.
class frmCaseStudy : public platform::Form {
public:
    // The question's share of the window's width, in percent.
    static constexpr std::int32_t kQuestionPercent = 55;

    // The passage's width in a window of that width; the question begins there.
    static std::int32_t passageWidth(std::int32_t width) { return width - width * kQuestionPercent / 100; }

    // Creates and loads the window, hidden and borderless.
    static std::shared_ptr<frmCaseStudy> create();
    frmCaseStudy();

    // Shows the passage's HTML on the left.
    void setPassage(const std::string& html);

    platform::WebBrowser& brwPassage;

private:
    void Form_Resize();
};

}  // namespace quorin::casestudy
