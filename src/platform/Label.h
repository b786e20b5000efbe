#pragma once

#include "platform/Control.h"

namespace platform {

// A caption on the form. With AutoSize its size follows its caption and font through
// TextMetrics: on one line when WordWrap is off, wrapped at its current width when it is on.
// It takes no focus.
class Label final : public Control {
public:
    std::string_view kind() const override { return "Label"; }

    // Whether the size follows the caption.
    bool AutoSize() const { return autoSize_; }
    // Turns automatic sizing on (resizing at once) or off.
    void setAutoSize(bool autoSize);
    // Whether the caption wraps at the label's width.
    bool WordWrap() const { return wordWrap_; }
    // Turns wrapping on or off (resizing at once under AutoSize).
    void setWordWrap(bool wordWrap);

    void copyPropertiesFrom(const Control& source) override;

protected:
    bool takesFocus() const override { return false; }
    void textChanged() override { fit(); }
    void sizeChanged() override { fit(); }

private:
    void fit();

    bool autoSize_ = false;
    bool wordWrap_ = false;
};

}  // namespace platform
