#pragma once

#include "platform/BrowserEngine.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {
class WebBrowser;
}

namespace velm::host {

class LiveChannel;

// The engine of a live visit: every browser control's document lives in a frame of the page,
// named "f1", "f2", ... in the order the controls first load. A load completes when the page
// reports {"type":"loaded","frame","loadId","height"}, the height in CSS pixels measured at the
// frame's final width; a reflow asks the page to measure again and waits for its answer.
class PageBrowserEngine final : public platform::BrowserEngine {
public:
    // How long a reflow waits for the page's height before keeping the old one.
    static constexpr std::chrono::milliseconds kMeasureTimeout{2000};

    explicit PageBrowserEngine(LiveChannel& channel);

    void load(platform::WebBrowser& browser, std::uint64_t loadId) override;
    void reflow(platform::WebBrowser& browser) override;

    // Acts on a page message about documents ("loaded", "event"); false for any other message.
    bool handle(const nlohmann::ordered_json& message);
    // Sends the latest document of every live frame again, for a page that has just opened.
    void resend();
    // Whether a live browser's latest load has not completed yet.
    bool hasPendingLoads() const;
    // The frames whose browsers are alive, in the order they first loaded.
    std::vector<std::string> liveFrames() const;
    // The frame of a browser; "" when it has never loaded.
    std::string frameOf(const platform::WebBrowser& browser) const;
    // The browser a frame belongs to; null when there is none or it is gone.
    platform::WebBrowser* browserOf(const std::string& frame) const;
    // {"type":"load","frame","loadId","html","bodyMargin","scrollBars","width"}: what the page
    // needs to show the browser's document in that frame.
    static nlohmann::ordered_json loadMessage(const platform::WebBrowser& browser, const std::string& frame,
                                              std::uint64_t loadId);

private:
    struct Frame {
        std::weak_ptr<platform::WebBrowser> browser;
        std::string id;
    };

    const Frame& frameFor(platform::WebBrowser& browser);
    void loaded(const nlohmann::ordered_json& message);
    void deliverEvent(const nlohmann::ordered_json& message);

    LiveChannel& channel_;
    std::vector<Frame> frames_;
    std::uint64_t lastFrame_ = 0;
};

}  // namespace velm::host
