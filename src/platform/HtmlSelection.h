#pragma once

namespace platform {

// The text selection of a document.
class HtmlSelection {
public:
    // Clears the selection.
    void empty() { selected_ = false; }
    // Whether nothing is selected.
    bool isEmpty() const { return !selected_; }
    // Selects text (what a selection the candidate started leaves).
    void select() { selected_ = true; }

private:
    bool selected_ = false;
};

}  // namespace platform
