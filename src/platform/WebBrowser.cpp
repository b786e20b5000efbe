#include "platform/WebBrowser.h"

#include "platform/BrowserEngine.h"
#include "platform/Hook.h"

#include <utility>

namespace platform {

// The shared pointer owns nothing: it only lets pending completions see that the control is gone.
WebBrowser::WebBrowser() : self_(this, [](WebBrowser*) {}) {}

WebBrowser::~WebBrowser() = default;

void WebBrowser::LoadHTML(std::string html)
{
    html_ = std::move(html);
    documentLoaded_ = false;
    pendingLoad_ = ++loadId_;
    engine_ = BrowserEngine::current();
    engine_->load(*this, pendingLoad_);
}

void WebBrowser::setBodyMargin(std::string margin)
{
    if (margin == bodyMargin_)
        return;
    bodyMargin_ = std::move(margin);
    reflow();
}

void WebBrowser::fireEvent(HtmlEvent& event)
{
    if (!reachable())
        return;
    const auto alive = weakPtr();
    callHook(onDocumentEvent, event);
    if (alive.expired())
        return;
    if (event.type == "selectstart" && event.returnValue)
        document_.selection().select();
}

bool WebBrowser::completeDocument(std::uint64_t loadId, std::int32_t contentHeight)
{
    if (loadId == 0 || loadId != pendingLoad_)
        return false;
    pendingLoad_ = 0;
    contentHeight_ = contentHeight > 0 ? contentHeight : 0;
    documentLoaded_ = true;
    document_.selection().empty();
    callHook(onDocumentComplete);
    return true;
}

void WebBrowser::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    if (const auto* browser = dynamic_cast<const WebBrowser*>(&source)) {
        bodyMargin_ = browser->bodyMargin_;
        frameMargin_ = browser->frameMargin_;
        scrollBars_ = browser->scrollBars_;
    }
}

void WebBrowser::sizeChanged()
{
    reflow();
}

void WebBrowser::formUnloading()
{
    pendingLoad_ = 0;
}

void WebBrowser::reflow()
{
    if (documentLoaded_ && engine_)
        engine_->reflow(*this);
}

}  // namespace platform
