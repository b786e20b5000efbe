#pragma once

#include "platform/HtmlSelection.h"

namespace platform {

// The document a browser displays, as far as its listeners reach it.
class HtmlDocument {
public:
    // The document's text selection.
    HtmlSelection& selection() { return selection_; }
    const HtmlSelection& selection() const { return selection_; }
    // Whether some text is selected.
    bool hasSelection() const { return !selection_.isEmpty(); }

private:
    HtmlSelection selection_;
};

}  // namespace platform
