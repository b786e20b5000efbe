#include "host/live/PageBrowserEngine.h"

#include "host/driver/Json.h"
#include "host/live/LiveChannel.h"
#include "platform/HtmlEvent.h"
#include "platform/Screen.h"
#include "platform/WebBrowser.h"

#include <algorithm>
#include <cmath>

namespace velm::host {
namespace {

using json = nlohmann::ordered_json;

std::int32_t widthPixels(const platform::WebBrowser& browser)
{
    return static_cast<std::int32_t>(std::lround(browser.Width() / platform::Screen::instance().twipsPerPixelX()));
}

// A height the page reports: a whole number of pixels, at least 0; empty for anything else.
std::optional<std::int32_t> reportedHeight(const json& message)
{
    const auto height = message.find("height");
    if (height == message.end() || !height->is_number())
        return std::nullopt;
    const double pixels = height->get<double>();
    if (!std::isfinite(pixels) || pixels < 0 || pixels > 1e8)
        return std::nullopt;
    return static_cast<std::int32_t>(std::ceil(pixels));
}

bool flagField(const json& message, const char* name)
{
    const auto field = message.find(name);
    return field != message.end() && field->is_boolean() && field->get<bool>();
}

std::int32_t codeField(const json& message, const char* name)
{
    const auto field = message.find(name);
    if (field == message.end() || !field->is_number_integer())
        return 0;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(field->get<std::int64_t>(), 0, 0x7fffffff));
}

}  // namespace

PageBrowserEngine::PageBrowserEngine(LiveChannel& channel) : channel_(channel) {}

const PageBrowserEngine::Frame& PageBrowserEngine::frameFor(platform::WebBrowser& browser)
{
    std::erase_if(frames_, [](const Frame& frame) { return frame.browser.expired(); });
    for (const auto& frame : frames_) {
        if (frame.browser.lock().get() == &browser)
            return frame;
    }
    frames_.push_back({browser.weakPtr(), "f" + std::to_string(++lastFrame_)});
    return frames_.back();
}

json PageBrowserEngine::loadMessage(const platform::WebBrowser& browser, const std::string& frame, std::uint64_t loadId)
{
    return {{"type", "load"},
            {"frame", frame},
            {"loadId", loadId},
            {"html", browser.html()},
            {"bodyMargin", browser.BodyMargin()},
            {"scrollBars", browser.ScrollBars()},
            {"width", widthPixels(browser)}};
}

void PageBrowserEngine::load(platform::WebBrowser& browser, std::uint64_t loadId)
{
    channel_.permitReferencesIn(browser.html());
    channel_.send(loadMessage(browser, frameFor(browser).id, loadId));
}

// The layout reads the height right after setting a width, so the answer is awaited here.
void PageBrowserEngine::reflow(platform::WebBrowser& browser)
{
    if (!browser.DocumentLoaded())
        return;
    const std::string frame = frameFor(browser).id;
    channel_.send(
        {{"type", "measure"}, {"frame", frame}, {"width", widthPixels(browser)}, {"bodyMargin", browser.BodyMargin()}});
    const auto answer = channel_.waitFor(
        [&frame](const json& message) { return message["type"] == "height" && message.value("frame", "") == frame; },
        kMeasureTimeout);
    if (const auto height = answer ? reportedHeight(*answer) : std::nullopt)
        browser.setContentHeight(*height);
}

bool PageBrowserEngine::handle(const json& message)
{
    const std::string type = stringField(message, "type");
    if (type == "loaded")
        loaded(message);
    else if (type == "event")
        deliverEvent(message);
    else
        return false;
    return true;
}

void PageBrowserEngine::loaded(const json& message)
{
    auto* browser = browserOf(stringField(message, "frame"));
    const auto height = reportedHeight(message);
    const auto loadId = message.find("loadId");
    if (!browser || !height || loadId == message.end() || !loadId->is_number_integer()
        || loadId->get<std::int64_t>() <= 0)
        return;
    const auto load = static_cast<std::uint64_t>(loadId->get<std::int64_t>());
    if (load != browser->loadCount())
        return;
    // A page that opens again reports documents that completed before; only the height is news.
    if (!browser->completeDocument(load, *height))
        browser->setContentHeight(*height);
}

// The page has already blocked the default action; it shows what the item decided from the answer.
void PageBrowserEngine::deliverEvent(const json& message)
{
    const std::string frame = stringField(message, "frame");
    auto* browser = browserOf(frame);
    const auto found = message.find("event");
    if (!browser || found == message.end() || !found->is_object())
        return;
    const json& fields = *found;
    platform::HtmlEvent event;
    event.type = stringField(fields, "type");
    event.altKey = flagField(fields, "altKey");
    event.shiftKey = flagField(fields, "shiftKey");
    event.ctrlKey = flagField(fields, "ctrlKey");
    event.keyCode = codeField(fields, "keyCode");
    event.srcElement.id = stringField(fields, "srcId");
    const auto alive = browser->weakPtr();
    browser->fireEvent(event);
    const bool selectionEmptied =
        !alive.expired() && event.type == "selectstart" && browser->Document().selection().isEmpty();
    channel_.send({{"type", "eventResult"},
                   {"frame", frame},
                   {"eventType", event.type},
                   {"keyCode", event.keyCode},
                   {"returnValue", event.returnValue},
                   {"cancelBubble", event.cancelBubble},
                   {"selectionEmptied", selectionEmptied}});
}

void PageBrowserEngine::resend()
{
    std::erase_if(frames_, [](const Frame& frame) { return frame.browser.expired(); });
    for (const auto& frame : frames_) {
        const auto browser = frame.browser.lock();
        if (browser->loadCount() > 0)
            channel_.send(loadMessage(*browser, frame.id, browser->loadCount()));
    }
}

bool PageBrowserEngine::hasPendingLoads() const
{
    return std::any_of(frames_.begin(), frames_.end(), [](const Frame& frame) {
        const auto browser = frame.browser.lock();
        return browser && !browser->DocumentLoaded();
    });
}

std::vector<std::string> PageBrowserEngine::liveFrames() const
{
    std::vector<std::string> live;
    for (const auto& frame : frames_) {
        if (!frame.browser.expired())
            live.push_back(frame.id);
    }
    return live;
}

std::string PageBrowserEngine::frameOf(const platform::WebBrowser& browser) const
{
    for (const auto& frame : frames_) {
        if (frame.browser.lock().get() == &browser)
            return frame.id;
    }
    return {};
}

platform::WebBrowser* PageBrowserEngine::browserOf(const std::string& frame) const
{
    for (const auto& known : frames_) {
        if (known.id == frame)
            return known.browser.lock().get();
    }
    return nullptr;
}

}  // namespace velm::host
