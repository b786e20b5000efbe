// The live engine against a page played by this test over a real WebSocket: what the page is
// sent, and what the item's browsers make of what it answers.
#include "host/live/PageBrowserEngine.h"
#include "host/live/LiveChannel.h"
#include "host/live/LiveServer.h"
#include "platform/Form.h"
#include "platform/WebBrowser.h"

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

using json = nlohmann::ordered_json;
using velm::host::LiveChannel;
using velm::host::LiveServer;
using velm::host::PageBrowserEngine;
namespace beast = boost::beast;
namespace websocket = beast::websocket;
using tcp = boost::asio::ip::tcp;

// The page: on its own thread it reads what the driver sends, keeps it, and answers through
// respond (an empty answer sends nothing). It ends when the server closes the connection.
class TestPage {
public:
    using Responder = std::function<std::optional<json>(const json& message)>;

    TestPage(const LiveServer& server, const std::string& token, Responder respond) : respond_(std::move(respond))
    {
        thread_ =
            std::thread([this, port = server.port(), token, origin = server.origin()] { run(port, token, origin); });
    }
    ~TestPage() { thread_.join(); }

    // The messages of that type received so far.
    std::vector<json> received(const std::string& type)
    {
        const std::lock_guard lock(mutex_);
        std::vector<json> matching;
        std::copy_if(received_.begin(), received_.end(), std::back_inserter(matching),
                     [&](const json& m) { return m.value("type", "") == type; });
        return matching;
    }

private:
    void run(std::uint16_t port, const std::string& token, const std::string& origin)
    {
        boost::asio::io_context io;
        websocket::stream<tcp::socket> socket(io);
        socket.next_layer().connect({boost::asio::ip::make_address("127.0.0.1"), port});
        socket.set_option(websocket::stream_base::decorator(
            [origin](websocket::request_type& request) { request.set(beast::http::field::origin, origin); }));
        socket.handshake("127.0.0.1:" + std::to_string(port), "/ws?token=" + token);
        beast::flat_buffer buffer;
        beast::error_code error;
        while (true) {
            socket.read(buffer, error);
            if (error)
                return;
            const auto message = json::parse(beast::buffers_to_string(buffer.data()));
            buffer.consume(buffer.size());
            {
                const std::lock_guard lock(mutex_);
                received_.push_back(message);
            }
            if (auto answer = respond_(message))
                socket.write(boost::asio::buffer(answer->dump()), error);
        }
    }

    Responder respond_;
    std::mutex mutex_;
    std::vector<json> received_;
    std::thread thread_;
};

class PageBrowserEngineTest : public ::testing::Test {
protected:
    PageBrowserEngineTest()
        : server_({.token = "secret"})
        , channel_(server_)
        , engine_(std::make_shared<PageBrowserEngine>(channel_))
    {
        platform::BrowserEngine::setCurrent(engine_);
        form_.Load();
        form_.Show();
        browser_.setWidth(3000);
        browser_.onDocumentComplete = [this] { ++completions_; };
    }
    ~PageBrowserEngineTest() override { platform::BrowserEngine::setCurrent(nullptr); }

    void openPage(TestPage::Responder respond)
    {
        page_.emplace(server_, "secret", std::move(respond));
        pumpUntil([this] { return channel_.hasPage(); });
    }

    // Serves, handing every page message to the engine, until done holds or five seconds pass.
    bool pumpUntil(const std::function<bool()>& done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            channel_.pump(std::chrono::milliseconds(5));
            while (auto message = channel_.take())
                engine_->handle(*message);
        }
        return true;
    }

    static std::optional<json> silent(const json&) { return std::nullopt; }

    // Destroyed last: the server's end closes first, which ends the page's thread.
    std::optional<TestPage> page_;
    LiveServer server_;
    LiveChannel channel_;
    std::shared_ptr<PageBrowserEngine> engine_;
    platform::Form form_{"frmTest"};
    platform::WebBrowser& browser_ = form_.add<platform::WebBrowser>("txtItemStem");
    int completions_ = 0;
};

// A load completes with the height the page measured, and a width change waits for the page to
// measure again: the layout reads the height right after setting the width.
TEST_F(PageBrowserEngineTest, ALoadAndAWidthChangeTakeTheHeightsThePageMeasured)
{
    openPage([](const json& message) -> std::optional<json> {
        if (message["type"] == "load")
            return json{
                {"type", "loaded"}, {"frame", message["frame"]}, {"loadId", message["loadId"]}, {"height", 123.4}};
        if (message["type"] == "measure")
            return json{
                {"type", "height"}, {"frame", message["frame"]}, {"height", 8000 / message["width"].get<int>()}};
        return std::nullopt;
    });
    browser_.setBodyMargin("5px");
    browser_.LoadHTML("<p>stem</p>");
    EXPECT_FALSE(browser_.DocumentLoaded());
    ASSERT_TRUE(pumpUntil([this] { return browser_.DocumentLoaded(); }));
    EXPECT_EQ(browser_.ContentHeight(), 124);
    EXPECT_EQ(completions_, 1);
    // 3000 twips at 15 a pixel.
    EXPECT_EQ(page_->received("load"), std::vector{json::parse(R"({"type": "load", "frame": "f1", "loadId": 1,
              "html": "<p>stem</p>", "bodyMargin": "5px", "scrollBars": true, "width": 200})")});
    EXPECT_EQ(engine_->browserOf("f1"), &browser_);
    EXPECT_FALSE(engine_->hasPendingLoads());

    browser_.setWidth(1500);
    EXPECT_EQ(browser_.ContentHeight(), 80);
    browser_.setWidth(6000);
    EXPECT_EQ(browser_.ContentHeight(), 20);
    EXPECT_EQ(json(page_->received("measure")),
              json::parse(R"([{"type": "measure", "frame": "f1", "width": 100, "bodyMargin": "5px"},
                              {"type": "measure", "frame": "f1", "width": 400, "bodyMargin": "5px"}])"));
}

TEST_F(PageBrowserEngineTest, ReportsThatCannotBeTrustedCompleteNothing)
{
    openPage(silent);
    browser_.LoadHTML("<p>first</p>");
    browser_.LoadHTML("<p>second</p>");
    ASSERT_TRUE(pumpUntil([this] { return page_->received("load").size() == 2; }));
    const json reports[] = {
        {{"type", "loaded"}, {"frame", "f1"}, {"loadId", 1}, {"height", 50}},  // superseded load
        {{"type", "loaded"}, {"frame", "f9"}, {"loadId", 2}, {"height", 50}},  // no such frame
        {{"type", "loaded"}, {"frame", "f1"}, {"loadId", 2}, {"height", -3}},  // negative
        {{"type", "loaded"}, {"frame", "f1"}, {"loadId", 2}, {"height", "50"}},  // not a number
        {{"type", "loaded"}, {"frame", "f1"}, {"loadId", 2}, {"height", 1e300}},  // beyond any page
        {{"type", "loaded"}, {"frame", "f1"}, {"height", 50}},  // no load named
        {{"type", "loaded"}, {"frame", "f1"}, {"loadId", -2}, {"height", 50}},
    };
    for (const auto& report : reports) {
        EXPECT_TRUE(engine_->handle(report));
        EXPECT_FALSE(browser_.DocumentLoaded()) << report.dump();
    }
    EXPECT_TRUE(engine_->hasPendingLoads());
    EXPECT_FALSE(engine_->handle({{"type", "action"}, {"line", "status"}}));
    EXPECT_TRUE(engine_->handle({{"type", "loaded"}, {"frame", "f1"}, {"loadId", 2}, {"height", 50}}));
    EXPECT_TRUE(browser_.DocumentLoaded());
    EXPECT_EQ(completions_, 1);
}

TEST_F(PageBrowserEngineTest, WithoutAPageAWidthChangeKeepsTheHeight)
{
    browser_.LoadHTML("<p>x</p>");
    EXPECT_TRUE(engine_->handle({{"type", "loaded"}, {"frame", "f1"}, {"loadId", 1}, {"height", 33}}));
    browser_.setWidth(1500);
    EXPECT_EQ(browser_.ContentHeight(), 33);
}

TEST_F(PageBrowserEngineTest, AnEventGoesToTheItemAndItsDecisionBackToThePage)
{
    openPage(silent);
    browser_.onDocumentEvent = [](platform::HtmlEvent& event) {
        if (event.type == "keypress" && event.altKey && event.srcElement.id == "cell") {
            event.keyCode = 32;
            event.returnValue = false;
        }
    };
    browser_.LoadHTML("<p id=cell>x</p>");
    ASSERT_TRUE(engine_->handle({{"type", "loaded"}, {"frame", "f1"}, {"loadId", 1}, {"height", 10}}));
    engine_->handle({{"type", "event"},
                     {"frame", "f1"},
                     {"event", {{"type", "keypress"}, {"keyCode", 78}, {"altKey", true}, {"srcId", "cell"}}}});
    engine_->handle({{"type", "event"}, {"frame", "f1"}, {"event", {{"type", "keypress"}, {"keyCode", 78}}}});
    engine_->handle({{"type", "event"}, {"frame", "f1"}, {"event", "not an object"}});
    ASSERT_TRUE(pumpUntil([this] { return page_->received("eventResult").size() == 2; }));
    const auto results = page_->received("eventResult");
    EXPECT_EQ((std::tuple{results[0]["keyCode"], results[0]["returnValue"], results[1]["keyCode"],
                          results[1]["returnValue"]}),
              (std::tuple{32, false, 78, true}));
}

TEST_F(PageBrowserEngineTest, APageThatOpensAgainIsSentEveryLiveDocument)
{
    openPage(silent);
    auto& choice = form_.add<platform::WebBrowser>("txtChoice");
    browser_.LoadHTML("<p>stem</p>");
    choice.LoadHTML("<p>old</p>");
    choice.LoadHTML("<p>choice</p>");
    ASSERT_TRUE(pumpUntil([this] { return page_->received("load").size() == 3; }));
    engine_->resend();
    ASSERT_TRUE(pumpUntil([this] { return page_->received("load").size() == 5; }));
    const auto loads = page_->received("load");
    EXPECT_EQ((std::tuple{loads[3]["html"], loads[4]["html"], loads[4]["loadId"]}),
              (std::tuple{"<p>stem</p>", "<p>choice</p>", 2}));
    form_.destroy(choice);
    EXPECT_EQ(engine_->liveFrames(), std::vector<std::string>{"f1"});
}

}  // namespace
