#pragma once

#include "platform/Form.h"
#include "platform/WebBrowser.h"

#include <memory>
#include <string>

namespace quorin {

// The instructions of an item, shown as HTML in a window of their own over the item; it lays its
// browser out over its whole inner area and turns scroll bars on once the text needs them.
class frmInstructions : public platform::Form {
public:
    // The design-time size, in twips.
    static constexpr float kDesignWidth = 6000;
    static constexpr float kDesignHeight = 4500;

    // Creates and loads the window, hidden.
    static std::shared_ptr<frmInstructions> create();
    frmInstructions();

    // Shows html in the browser with a 5-pixel body margin.
    void setInstText(const std::string& html);

    platform::WebBrowser& txtInstructions;

private:
    void Form_Resize();
    void txtInstructions_DocumentEvent(platform::HtmlEvent& event);
};

}  // namespace quorin
