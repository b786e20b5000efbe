#include "platform/EventLoop.h"
#include "platform/Form.h"
#include "platform/HeadlessBrowserEngine.h"
#include "platform/Screen.h"
#include "platform/WebBrowser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace platform;

namespace {

class WebBrowserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        loop.clear();
        BrowserEngine::setCurrent(engine);
        Screen::instance().reset();
    }
    void TearDown() override
    {
        loop.clear();
        BrowserEngine::setCurrent(nullptr);
        Screen::instance().reset();
    }

    EventLoop& loop = EventLoop::current();
    std::shared_ptr<HeadlessBrowserEngine> engine = std::make_shared<HeadlessBrowserEngine>();
};

TEST(HeadlessBrowserEngine, MeasuresTextBlocksImagesAndMargins)
{
    struct Case {
        std::string html;
        std::int32_t width;
        std::int32_t margin;
        std::int32_t height;
    };
    const Case cases[] = {
        {"<html><body>Hello world</body></html>", 200, 8, 16 + 18},     // 26 a line
        {std::string(60, 'x'), 200, 5, 10 + 3 * 18},                     // 27 a line
        {"<p>one</p><P>two</P>", 500, 0, 2 * 18},
        {"a<br><br>b", 500, 0, 3 * 18},                                    // the second break is an empty line
        {"<img src=\"x.gif\" height=40><div>text</div>", 500, 3, 6 + 40 + 18},
        {"<IMG SRC='y.gif' HEIGHT=\"25\">", 500, 0, 25},
        {"<style>.a{color:red}</style><title>T</title>abc", 500, 0, 18},
        {"&amp;&amp;&amp;&amp;", 21, 0, 2 * 18},                          // 3 a line; entities are one each
        {"a    b", 21, 0, 18},                                              // blank runs are one blank
        {"a    bc", 21, 0, 2 * 18},
        {"<!-- a long hidden comment --><b>ab</b>", 14, 0, 18},
        {"a < b", 14, 0, 3 * 18},                                            // a lone < is text
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 14, 0, 2 * 18},                         // characters, not bytes
        {"abc", 0, 0, 3 * 18},                                               // at least one a line
        {"", 300, 8, 16},
        {"<table><tr><td>x", 300, 0, 18},                                   // unclosed tags end the text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.html);
        EXPECT_EQ(HeadlessBrowserEngine::measure(c.html, c.width, c.margin), c.height);
    }
}

TEST(HeadlessBrowserEngine, ReadsMarginsAsPixels)
{
    struct Case {
        const char* css;
        std::int32_t pixels;
    };
    const Case cases[] = {
        {"5px", 5}, {"0px", 0}, {" 3PX ", 3}, {"12", 12}, {"2.5px", 2},
        {"", 8},    {"auto", 8}, {"-2px", 8}, {"px", 8},  {"99999999px", 8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.css);
        EXPECT_EQ(HeadlessBrowserEngine::marginPixels(c.css), c.pixels);
    }
}

TEST_F(WebBrowserTest, ADocumentCompletesOnlyWhenTheLoopRuns)
{
    WebBrowser browser;
    browser.setWidth(3000);  // 200 pixels
    std::vector<std::int32_t> completions;
    browser.onDocumentComplete = [&] {
        EXPECT_TRUE(browser.DocumentLoaded());
        completions.push_back(browser.ContentHeight());
    };

    browser.LoadHTML("<html>Hello world</html>");
    browser.setBodyMargin("5px");
    EXPECT_FALSE(browser.DocumentLoaded());
    EXPECT_TRUE(completions.empty());

    loop.runUntilIdle();

    EXPECT_EQ(completions, (std::vector<std::int32_t>{10 + 18}));
    EXPECT_EQ(browser.html(), "<html>Hello world</html>");

    browser.LoadHTML("<html>Again</html>");
    EXPECT_FALSE(browser.DocumentLoaded());
    EXPECT_EQ(browser.ContentHeight(), 28);  // the last document's height until the new one completes
}

TEST_F(WebBrowserTest, ASupersededLoadNeverCompletes)
{
    WebBrowser browser;
    browser.setWidth(3000);
    std::vector<std::string> completed;
    browser.onDocumentComplete = [&] { completed.push_back(browser.html()); };

    browser.LoadHTML("<html>first</html>");
    browser.LoadHTML(std::string("<html>") + std::string(60, 'x') + "</html>");
    loop.runUntilIdle();
    loop.runUntilIdle();

    EXPECT_EQ(completed.size(), 1u);
    EXPECT_EQ(browser.ContentHeight(), 16 + 3 * 18);  // 26 characters a line
    EXPECT_EQ(browser.loadCount(), 2u);
}

TEST_F(WebBrowserTest, ABrowserDestroyedBeforeCompletionIsNotTouched)
{
    int completions = 0;
    auto browser = std::make_unique<WebBrowser>();
    browser->onDocumentComplete = [&] { ++completions; };
    browser->LoadHTML("<html>gone</html>");
    engine->fixHeight(*browser, 50);

    browser.reset();
    loop.runUntilIdle();

    EXPECT_EQ(completions, 0);
}

TEST_F(WebBrowserTest, UnloadingTheFormCancelsPendingDocuments)
{
    Form form("frmTest");
    auto& browser = form.add<WebBrowser>("txtItemStem");
    form.Load();
    int completions = 0;
    browser.onDocumentComplete = [&] { ++completions; };

    browser.LoadHTML("<html>stem</html>");
    form.Unload();
    loop.runUntilIdle();

    EXPECT_EQ(completions, 0);
    EXPECT_FALSE(browser.DocumentLoaded());
}

TEST_F(WebBrowserTest, AFixedHeightWinsOverTheMeasuredOne)
{
    WebBrowser fixed;
    WebBrowser measured;
    fixed.setWidth(3000);
    measured.setWidth(3000);
    fixed.LoadHTML("<html>text</html>");
    measured.LoadHTML("<html>text</html>");
    engine->fixHeight(fixed, 400);

    loop.runUntilIdle();
    EXPECT_EQ(fixed.ContentHeight(), 400);
    EXPECT_EQ(measured.ContentHeight(), 34);

    engine->fixHeight(measured, 90);
    EXPECT_EQ(measured.ContentHeight(), 90);
    engine->clearFixedHeights();
    measured.setWidth(1500);
    EXPECT_EQ(measured.ContentHeight(), 34);
}

TEST_F(WebBrowserTest, AWidthOrMarginChangeReflowsACompletedDocument)
{
    WebBrowser browser;
    browser.setWidth(3000);  // 200 px: 26 a line
    browser.LoadHTML(std::string(60, 'x'));
    loop.runUntilIdle();
    ASSERT_EQ(browser.ContentHeight(), 16 + 3 * 18);

    Screen::instance().setTwipsPerPixelX(10);  // 300 px: 40 a line
    browser.setWidth(3001);
    EXPECT_EQ(browser.ContentHeight(), 16 + 2 * 18);
    browser.setBodyMargin("0px");  // 42 a line
    EXPECT_EQ(browser.ContentHeight(), 2 * 18);
}

TEST_F(WebBrowserTest, SelectStartSelectsUnlessTheListenerCancelsIt)
{
    WebBrowser browser;
    bool cancel = false;
    browser.onDocumentEvent = [&](HtmlEvent& event) {
        if (!cancel || event.type != "selectstart")
            return;
        browser.Document().selection().empty();
        event.cancelBubble = true;
        event.returnValue = false;
    };

    auto first = HtmlEvent::selectStart();
    browser.fireEvent(first);
    EXPECT_TRUE(browser.Document().hasSelection());

    cancel = true;
    auto second = HtmlEvent::selectStart();
    browser.fireEvent(second);
    EXPECT_FALSE(browser.Document().hasSelection());
    EXPECT_TRUE(second.cancelBubble);

    auto click = HtmlEvent::click("btnReset");
    browser.fireEvent(click);
    EXPECT_FALSE(browser.Document().hasSelection());
}

TEST_F(WebBrowserTest, AListenerMayDestroyTheBrowserDuringAnEvent)
{
    auto browser = std::make_unique<WebBrowser>();
    browser->onDocumentEvent = [&](HtmlEvent&) { browser.reset(); };
    auto event = HtmlEvent::selectStart();

    browser->fireEvent(event);

    EXPECT_EQ(browser, nullptr);
}

}  // namespace
