#pragma once

#include <cstdint>
#include <memory>

namespace platform {

class WebBrowser;

// What lays out and completes the documents of WebBrowser controls. One engine is current per
// process (a HeadlessBrowserEngine unless replaced).
class BrowserEngine {
public:
    virtual ~BrowserEngine() = default;

    // Starts displaying browser.html() as load loadId; completes it later through
    // WebBrowser::completeDocument, never from within this call.
    virtual void load(WebBrowser& browser, std::uint64_t loadId) = 0;
    // The browser's width or margin changed after its document completed: may set a new height
    // through WebBrowser::setContentHeight.
    virtual void reflow(WebBrowser& browser) = 0;

    // The engine that new loads go to.
    static std::shared_ptr<BrowserEngine> current();
    // Makes engine current; null restores a fresh HeadlessBrowserEngine.
    static void setCurrent(std::shared_ptr<BrowserEngine> engine);
};

}  // namespace platform
