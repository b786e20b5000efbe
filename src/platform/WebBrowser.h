#pragma once

#include "platform/Control.h"
#include "platform/HtmlDocument.h"
#include "platform/HtmlEvent.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

class BrowserEngine;

// An HTML browser control. A new one holds a completed empty document (DocumentLoaded, height 0),
// as a real browser shows a blank page. LoadHTML hands the text to the current BrowserEngine and
// clears DocumentLoaded; the engine completes the document later (ContentHeight, DocumentLoaded,
// then DocumentComplete). Only the latest load completes.
class WebBrowser final : public Control {
public:
    WebBrowser();
    ~WebBrowser() override;

    std::string_view kind() const override { return "WebBrowser"; }

    // Starts displaying html; a load not yet complete is superseded.
    void LoadHTML(std::string html);
    // The text of the latest LoadHTML; "" before any.
    const std::string& html() const { return html_; }
    // Number of LoadHTML calls so far.
    std::uint64_t loadCount() const { return loadId_; }

    // The body margin as a CSS length ("5px"); "" for the engine's default.
    const std::string& BodyMargin() const { return bodyMargin_; }
    void setBodyMargin(std::string margin);
    // The frame margin as a CSS length; "" for the engine's default.
    const std::string& FrameMargin() const { return frameMargin_; }
    void setFrameMargin(std::string margin) { frameMargin_ = std::move(margin); }
    // Whether the control shows scroll bars.
    bool ScrollBars() const { return scrollBars_; }
    void setScrollBars(bool scrollBars) { scrollBars_ = scrollBars; }

    // The height of the displayed document in pixels; 0 before the first completion.
    std::int32_t ContentHeight() const { return contentHeight_; }
    // Whether the latest load has completed.
    bool DocumentLoaded() const { return documentLoaded_; }
    // The displayed document.
    HtmlDocument& Document() { return document_; }
    const HtmlDocument& Document() const { return document_; }

    // Delivers a document event as the candidate's action would: raises DocumentEvent, then
    // applies the default action (a "selectstart" left with returnValue true selects text);
    // nothing when the control is not reachable.
    void fireEvent(HtmlEvent& event);

    // Engine side: completes load loadId with that height, raising DocumentComplete; false and
    // nothing changed when a newer load superseded it.
    bool completeDocument(std::uint64_t loadId, std::int32_t contentHeight);
    // Engine side: the displayed document's height after a reflow; raises nothing.
    void setContentHeight(std::int32_t contentHeight) { contentHeight_ = contentHeight; }
    // A reference that expires when the control is destroyed, for completions that come later.
    std::weak_ptr<WebBrowser> weakPtr() const { return self_; }

    void copyPropertiesFrom(const Control& source) override;

    // Raised after a document completed.
    std::function<void()> onDocumentComplete;
    // Raised for every document event, before its default action.
    std::function<void(HtmlEvent& event)> onDocumentEvent;

protected:
    void sizeChanged() override;
    void formUnloading() override;

private:
    void reflow();

    std::shared_ptr<WebBrowser> self_;
    std::shared_ptr<BrowserEngine> engine_;
    std::string html_;
    std::uint64_t loadId_ = 0;
    std::uint64_t pendingLoad_ = 0;
    std::string bodyMargin_;
    std::string frameMargin_;
    bool scrollBars_ = true;
    std::int32_t contentHeight_ = 0;
    bool documentLoaded_ = true;
    HtmlDocument document_;
};

}  // namespace platform
