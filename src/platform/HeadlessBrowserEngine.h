#pragma once

#include "platform/BrowserEngine.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The engine of a headless run: completes each load in a task posted on the thread's event
// loop, with a height computed from the HTML (see measure) unless a test fixed the height of
// that browser.
class HeadlessBrowserEngine final : public BrowserEngine, public std::enable_shared_from_this<HeadlessBrowserEngine> {
public:
    // Fixed layout figures, in pixels.
    static constexpr std::int32_t kCharWidth = 7;
    static constexpr std::int32_t kLineHeight = 18;
    static constexpr std::int32_t kDefaultMargin = 8;

    void load(WebBrowser& browser, std::uint64_t loadId) override;
    void reflow(WebBrowser& browser) override;

    // Makes every completion and reflow of that browser report pixels as its height, and
    // applies it at once to a completed document.
    void fixHeight(WebBrowser& browser, std::int32_t pixels);
    // Forgets every fixed height.
    void clearFixedHeights() { fixed_.clear(); }
    // The height this engine gives the browser's current HTML at its current width and margin.
    std::int32_t contentHeight(const WebBrowser& browser) const;

    // The document height in pixels of html laid out widthPixels wide with marginPixels of body
    // margin: 2 × margin + Σ over text blocks ceil(characters / max(1, (width − 2 × margin) / 7))
    // × 18 + Σ <img height=...>. Text is what lies outside tags, with entities counting as one
    // character and blank runs as one blank; blocks are separated by <br>, <p>, <div>, <li>,
    // <tr>, <table>, <ul>, <ol>, <h1>..<h6>, <hr>, <blockquote>, <pre>, <body>, <html> (opening
    // or closing), a <br> on an empty block adds an empty line, and <style>, <script> and
    // <title> content and comments are no text.
    static std::int32_t measure(std::string_view html, std::int32_t widthPixels, std::int32_t marginPixels);
    // The pixels of a CSS length such as "5px" or "5"; kDefaultMargin for "" or anything else.
    static std::int32_t marginPixels(std::string_view cssLength);

private:
    static std::int32_t measuredHeight(const WebBrowser& browser);
    // measure's computation, without its memory of recent pages.
    static std::int32_t layOut(std::string_view html, std::int32_t widthPixels, std::int32_t marginPixels);

    std::vector<std::pair<std::weak_ptr<WebBrowser>, std::int32_t>> fixed_;
};

}  // namespace platform
