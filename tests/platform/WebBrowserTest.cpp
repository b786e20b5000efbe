#include "PlatformTesting.h"

#include "platform/Form.h"
#include "platform/HeadlessBrowserEngine.h"
#include "platform/Screen.h"
#include "platform/WebBrowser.h"

#include <tuple>

using namespace platform;

namespace {

class WebBrowserTest : public platform_testing::LoopTest {
protected:
    void SetUp() override
    {
        LoopTest::SetUp();
        BrowserEngine::setCurrent(engine);
        browser->setWidth(3000);  // 200 pixels: 26 characters a line with the default margin
    }
    void TearDown() override
    {
        LoopTest::TearDown();
        BrowserEngine::setCurrent(nullptr);
        Screen::instance().reset();
    }

    std::shared_ptr<HeadlessBrowserEngine> engine = std::make_shared<HeadlessBrowserEngine>();
    std::unique_ptr<WebBrowser> browser = std::make_unique<WebBrowser>();
};

TEST(HeadlessBrowserEngine, MeasuresTextBlocksImagesAndMarginsInPixels)
{
    // html, width, margin, height: 7 pixels a character, 18 a line (plain text at a width is in the
    // tests below); entities, blank runs and characters (not bytes) count one each, a lone < is
    // text, unclosed tags end the text
    // clang-format off
    const std::tuple<std::string, std::int32_t, std::int32_t, std::int32_t> cases[] = {
        {"<p>one</p><P>two</P>", 500, 0, 2 * 18}, {"a<br><br>b", 500, 0, 3 * 18}, {"", 300, 8, 16},
        {"<img src=\"x.gif\" height=40><div>text</div>", 500, 3, 6 + 40 + 18}, {"<table><tr><td>x", 300, 0, 18},
        {"<style>.a{color:red}</style><title>T</title>abc", 500, 0, 18}, {"<IMG SRC='y.gif' HEIGHT=\"25\">", 90, 0, 25},
        {"a    bc", 21, 0, 2 * 18}, {"<!-- a long hidden comment --><b>ab</b>", 14, 0, 18}, {"a < b", 14, 0, 3 * 18},
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 14, 0, 2 * 18}, {"abc", 0, 0, 3 * 18}, {"&amp;&amp;&amp;&amp;", 21, 0, 2 * 18},
    };
    // clang-format on
    for (const auto& [html, width, margin, height] : cases)
        EXPECT_EQ(HeadlessBrowserEngine::measure(html, width, margin), height) << html;

    const std::pair<const char*, std::int32_t> margins[] = {{"5px", 5},   {"0px", 0},       {" 3PX ", 3}, {"12", 12},
                                                            {"2.5px", 2}, {"", 8},          {"auto", 8},  {"-2px", 8},
                                                            {"px", 8},    {"99999999px", 8}};
    for (const auto& [css, pixels] : margins)
        EXPECT_EQ(HeadlessBrowserEngine::marginPixels(css), pixels) << css;
}

TEST_F(WebBrowserTest, ADocumentCompletesWhenTheLoopRunsOnlyForTheLastLoadAndNotAfterItsBrowserOrFormIsGone)
{
    std::vector<std::int32_t> completions;
    browser->onDocumentComplete = [&] {
        EXPECT_TRUE(browser->DocumentLoaded());
        completions.push_back(browser->ContentHeight());
    };

    // a new browser shows a blank page, so a window waiting for its documents is not held up
    EXPECT_EQ((std::pair{browser->DocumentLoaded(), browser->ContentHeight()}), (std::pair{true, 0}));

    browser->LoadHTML("<html>Hello world</html>");
    browser->setBodyMargin("5px");
    EXPECT_EQ((std::pair{browser->DocumentLoaded(), completions.size()}), (std::pair{false, std::size_t{0}}));
    loop.runUntilIdle();
    EXPECT_EQ(completions, (std::vector<std::int32_t>{10 + 18}));

    browser->LoadHTML("<html>Again</html>");
    // the last document's height until the new one completes
    EXPECT_EQ((std::pair{browser->DocumentLoaded(), browser->ContentHeight()}), (std::pair{false, 28}));
    browser->LoadHTML(std::string("<html>") + std::string(60, 'x') + "</html>");
    loop.runUntilIdle();
    loop.runUntilIdle();
    EXPECT_EQ(completions, (std::vector<std::int32_t>{28, 10 + 3 * 18}));  // 27 characters a line

    // a destroyed browser or an unloaded form cancels its pending document
    browser->LoadHTML("<html>gone</html>");
    engine->fixHeight(*browser, 50);
    browser.reset();
    Form form("frmTest");
    auto& onForm = form.add<WebBrowser>("txtItemStem");
    form.Load();
    onForm.onDocumentComplete = [&] { completions.push_back(-1); };
    onForm.LoadHTML("<html>stem</html>");
    form.Unload();
    loop.runUntilIdle();
    EXPECT_EQ((std::pair{completions.size(), onForm.DocumentLoaded()}), (std::pair{std::size_t{2}, false}));
}

TEST_F(WebBrowserTest, AFixedHeightWinsAndAWidthOrMarginChangeReflowsACompletedDocument)
{
    browser->LoadHTML(std::string(60, 'x'));
    engine->fixHeight(*browser, 400);
    loop.runUntilIdle();
    EXPECT_EQ(browser->ContentHeight(), 400);
    engine->clearFixedHeights();

    Screen::instance().setTwipsPerPixelX(10);  // 300 px: 40 a line
    browser->setWidth(3001);
    EXPECT_EQ(browser->ContentHeight(), 16 + 2 * 18);
    browser->setBodyMargin("0px");  // 42 a line
    EXPECT_EQ(browser->ContentHeight(), 2 * 18);
    engine->fixHeight(*browser, 90);
    EXPECT_EQ(browser->ContentHeight(), 90);
}

TEST_F(WebBrowserTest, SelectStartSelectsUnlessTheListenerCancelsItAndAListenerMayDestroyTheBrowser)
{
    bool cancel = false;
    browser->onDocumentEvent = [&](HtmlEvent& event) {
        if (!cancel || event.type != "selectstart")
            return;
        browser->Document().selection().empty();
        event.cancelBubble = true;
        event.returnValue = false;
    };
    // what the candidate sees after the event, and whether the listener stopped it
    const auto fire = [&](HtmlEvent event) {
        browser->fireEvent(event);
        return std::string(browser->Document().hasSelection() ? "selected" : "none")
               + (event.cancelBubble ? " stopped" : "");
    };
    EXPECT_EQ(fire(HtmlEvent::selectStart()), "selected");
    cancel = true;
    EXPECT_EQ(fire(HtmlEvent::selectStart()), "none stopped");

    browser->onDocumentEvent = [&](HtmlEvent&) { browser.reset(); };
    auto event = HtmlEvent::selectStart();
    browser->fireEvent(event);
    EXPECT_EQ(browser, nullptr);
}

}  // namespace
