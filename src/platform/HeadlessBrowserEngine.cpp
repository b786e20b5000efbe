#include "platform/HeadlessBrowserEngine.h"

#include "platform/EventLoop.h"
#include "platform/Screen.h"
#include "platform/WebBrowser.h"
#include "vb/Strings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <limits>
#include <string>

namespace platform {
namespace {

bool sameBrowser(const std::weak_ptr<WebBrowser>& a, const std::weak_ptr<WebBrowser>& b)
{
    return !a.owner_before(b) && !b.owner_before(a);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

bool isBlockTag(std::string_view name)
{
    static constexpr std::array<std::string_view, 18> blocks = {"p",  "div", "li",         "tr",  "table", "ul",
                                                                "ol", "h1",  "h2",         "h3",  "h4",    "h5",
                                                                "h6", "hr",  "blockquote", "pre", "body",  "html"};
    return std::find(blocks.begin(), blocks.end(), name) != blocks.end();
}

bool isRawTextTag(std::string_view name)
{
    return name == "style" || name == "script" || name == "title";
}

// The value of attribute name inside a tag's text, as digits; 0 when absent or not a number.
std::int64_t numericAttribute(std::string_view tag, std::string_view name)
{
    const auto lower = vb::lowerAscii(tag);
    for (auto at = lower.find(name); at != std::string::npos; at = lower.find(name, at + 1)) {
        if (at > 0 && !isBlank(lower[at - 1]))
            continue;
        auto rest = std::string_view(lower).substr(at + name.size());
        rest = vb::trimView(rest, " \t\r\n");
        if (rest.empty() || rest.front() != '=')
            continue;
        rest = vb::trimView(rest.substr(1), " \t\r\n\"'");
        std::int64_t value = 0;
        for (std::size_t i = 0;
             i < rest.size() && std::isdigit(static_cast<unsigned char>(rest[i])) && value < 1'000'000; ++i)
            value = value * 10 + (rest[i] - '0');
        return value;
    }
    return 0;
}

// Walks the HTML once, counting lines of text per block and image heights.
class Layout {
public:
    explicit Layout(std::int64_t charsPerLine) : charsPerLine_(charsPerLine) {}

    std::int64_t height(std::string_view html)
    {
        std::size_t at = 0;
        while (at < html.size()) {
            if (startsTag(html, at))
                at = tag(html, at);
            else
                at = text(html, at);
        }
        endBlock();
        return lines_ * HeadlessBrowserEngine::kLineHeight + images_;
    }

private:
    static bool startsTag(std::string_view html, std::size_t at)
    {
        if (html[at] != '<' || at + 1 >= html.size())
            return false;
        const char next = html[at + 1];
        return std::isalpha(static_cast<unsigned char>(next)) || next == '/' || next == '!';
    }

    std::size_t tag(std::string_view html, std::size_t at)
    {
        if (html.substr(at, 4) == "<!--") {
            const auto end = html.find("-->", at + 4);
            return end == std::string_view::npos ? html.size() : end + 3;
        }
        const auto end = html.find('>', at);
        if (end == std::string_view::npos)
            return html.size();
        const auto inner = html.substr(at + 1, end - at - 1);
        const bool closing = !inner.empty() && inner.front() == '/';
        const auto nameStart = closing ? 1 : 0;
        auto nameEnd = static_cast<std::size_t>(nameStart);
        while (nameEnd < inner.size() && std::isalnum(static_cast<unsigned char>(inner[nameEnd])))
            ++nameEnd;
        const auto name = vb::lowerAscii(inner.substr(nameStart, nameEnd - nameStart));
        if (name == "br") {
            if (chars_ == 0)
                ++lines_;
            endBlock();
        } else if (isBlockTag(name)) {
            endBlock();
        } else if (name == "img") {
            images_ += numericAttribute(inner, "height");
        } else if (!closing && isRawTextTag(name)) {
            const auto close = vb::findIgnoringCase(html, "</" + name, end);
            return close == std::string_view::npos ? html.size() : close;
        }
        return end + 1;
    }

    std::size_t text(std::string_view html, std::size_t at)
    {
        const char c = html[at];
        if (isBlank(c)) {
            blankPending_ = chars_ > 0;
            return at + 1;
        }
        character();
        if (c == '&') {
            const auto end = html.find(';', at);
            const bool entity = end != std::string_view::npos && end - at <= 10
                                && std::all_of(html.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                                               html.begin() + static_cast<std::ptrdiff_t>(end), [](char e) {
                                                   return std::isalnum(static_cast<unsigned char>(e)) || e == '#';
                                               });
            return entity ? end + 1 : at + 1;
        }
        ++at;
        while (at < html.size() && (static_cast<unsigned char>(html[at]) & 0xC0) == 0x80)
            ++at;
        return at;
    }

    void character()
    {
        chars_ += blankPending_ ? 2 : 1;
        blankPending_ = false;
    }

    void endBlock()
    {
        if (chars_ > 0)
            lines_ += (chars_ + charsPerLine_ - 1) / charsPerLine_;
        chars_ = 0;
        blankPending_ = false;
    }

    std::int64_t charsPerLine_;
    std::int64_t chars_ = 0;
    std::int64_t lines_ = 0;
    std::int64_t images_ = 0;
    bool blankPending_ = false;
};

}  // namespace

void HeadlessBrowserEngine::load(WebBrowser& browser, std::uint64_t loadId)
{
    EventLoop::current().post([engine = weak_from_this(), target = browser.weakPtr(), loadId] {
        const auto browser = target.lock();
        if (!browser)
            return;
        const auto self = engine.lock();
        browser->completeDocument(loadId, self ? self->contentHeight(*browser) : measuredHeight(*browser));
    });
}

void HeadlessBrowserEngine::reflow(WebBrowser& browser)
{
    browser.setContentHeight(contentHeight(browser));
}

void HeadlessBrowserEngine::fixHeight(WebBrowser& browser, std::int32_t pixels)
{
    std::erase_if(fixed_, [](const auto& entry) { return entry.first.expired(); });
    const auto key = browser.weakPtr();
    const auto it =
        std::find_if(fixed_.begin(), fixed_.end(), [&](const auto& entry) { return sameBrowser(entry.first, key); });
    if (it != fixed_.end())
        it->second = pixels;
    else
        fixed_.emplace_back(key, pixels);
    if (browser.DocumentLoaded())
        browser.setContentHeight(pixels);
}

std::int32_t HeadlessBrowserEngine::contentHeight(const WebBrowser& browser) const
{
    const auto key = browser.weakPtr();
    for (const auto& [owner, pixels] : fixed_) {
        if (sameBrowser(owner, key))
            return pixels;
    }
    return measuredHeight(browser);
}

namespace {

// A measured page: a window measures the same page again on every load and resize.
struct MeasuredPage {
    std::string html;
    std::int32_t widthPixels = 0;
    std::int32_t marginPixels = 0;
    std::int32_t height = 0;
};

}  // namespace

std::int32_t HeadlessBrowserEngine::measure(std::string_view html, std::int32_t widthPixels, std::int32_t marginPixels)
{
    thread_local std::array<MeasuredPage, 32> recent;
    thread_local std::size_t next = 0;
    for (const auto& page : recent) {
        if (page.widthPixels == widthPixels && page.marginPixels == marginPixels && page.html == html)
            return page.height;
    }
    auto& slot = recent[next];
    next = (next + 1) % recent.size();
    slot.height = layOut(html, widthPixels, marginPixels);
    slot.html = html;
    slot.widthPixels = widthPixels;
    slot.marginPixels = marginPixels;
    return slot.height;
}

std::int32_t HeadlessBrowserEngine::layOut(std::string_view html, std::int32_t widthPixels, std::int32_t marginPixels)
{
    const std::int64_t margin = std::max(marginPixels, 0);
    const std::int64_t charsPerLine = std::max<std::int64_t>(1, (widthPixels - 2 * margin) / kCharWidth);
    const auto height = 2 * margin + Layout(charsPerLine).height(html);
    return static_cast<std::int32_t>(std::min<std::int64_t>(height, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t HeadlessBrowserEngine::marginPixels(std::string_view cssLength)
{
    auto text = vb::trimView(cssLength, " \t");
    if (text.size() >= 2 && vb::equalsIgnoreCase(text.substr(text.size() - 2), "px"))
        text.remove_suffix(2);
    const auto digits = text.substr(0, text.find('.'));
    if (digits.empty() || digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        }))
        return kDefaultMargin;
    return std::stoi(std::string(digits));
}

std::int32_t HeadlessBrowserEngine::measuredHeight(const WebBrowser& browser)
{
    const auto widthPixels = std::floor(browser.Width() / Screen::instance().twipsPerPixelX());
    const auto width = static_cast<std::int32_t>(std::clamp(widthPixels, 0.0f, 1e9f));
    return measure(browser.html(), width, marginPixels(browser.BodyMargin()));
}

}  // namespace platform
