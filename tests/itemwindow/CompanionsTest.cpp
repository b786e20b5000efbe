#include "ItemWindowTesting.h"

#include "host/driver/HeadlessCalculator.h"
#include "platform/ProgramLauncher.h"

namespace quorin::test {
namespace {

constexpr std::int32_t kCalculatorOption = 256;

class CompanionsTest : public ItemWindowTest {
protected:
    void TearDown() override
    {
        ItemWindowTest::TearDown();
        velm::host::HeadlessCalculator::install();
    }

    // A calculator program that opens its window after delayMs (never when negative) and counts its starts.
    void installCalculator(std::int64_t delayMs)
    {
        platform::ProgramLauncher::instance().registerProgram("dcalc.exe", [this, delayMs](platform::WindowState) {
            ++starts;
            const auto open = [] {
                const auto handle = windows().createWindow("SciCalc", "Calculator");
                windows().setCloseHook(handle, [](platform::WindowHandle h) { windows().destroyWindow(h); });
            };
            if (delayMs == 0)
                open();
            else if (delayMs > 0)
                opener = loop.startTimer(delayMs, [this, open] {
                    loop.stopTimer(opener);
                    open();
                });
        });
    }
    int starts = 0;
    platform::EventLoop::TimerId opener = 0;
};

TEST_F(CompanionsTest, TheCalculatorStartsOnceIsCapturedComesBackAfterTheCandidateClosesItAndClosesWithTheItem)
{
    installCalculator(0);
    open({}, kCalculatorOption);
    windows().clearSentMessages();
    item->display().FreeExternalDisplay();  // an item that never started one sends nothing
    EXPECT_TRUE(windows().sentMessages().empty());
    open({}, kCalculatorOption);
    pressButton("btnCalculator");
    pressButton("btnCalculator");
    EXPECT_EQ(starts, 1);
    const auto first = window().calculator().window();
    EXPECT_EQ((std::tuple{windows().isWindow(first), windows().parentOf(first), windows().lastShowCommand(first)}),
              (std::tuple{true, item->parentWindow, platform::kSwRestore}));

    windows().sendMessage(first, platform::kWmSysCommand, platform::kScClose, 0);  // the candidate closes it
    pressButton("btnCalculator");
    const auto second = window().calculator().window();
    EXPECT_EQ((std::tuple{starts, windows().isWindow(second), second == first}), (std::tuple{2, true, false}));

    windows().clearSentMessages();
    item->display().FreeExternalDisplay();
    EXPECT_FALSE(windows().isWindow(second));
    EXPECT_EQ(windows().sentMessages(),
              (std::vector<platform::WindowSystem::Message>{{second, platform::kWmSysCommand, platform::kScClose, 0}}));
}

TEST_F(CompanionsTest, AStartedCalculatorIsWaitedForOnTheLoopAndOneThatNeverOpensLeavesNothingCaptured)
{
    // when its window opens (never: -1), time passed after the press, whether it is captured
    const std::tuple<std::int64_t, std::int64_t, bool> cases[] = {
        {450, 400, false}, {450, 500, true}, {2900, 3000, true}, {3100, 3200, false}, {-1, 5000, false},
    };
    for (const auto& [opensAfter, waited, captured] : cases) {
        SCOPED_TRACE(std::to_string(opensAfter) + " / " + std::to_string(waited));
        starts = 0;
        installCalculator(opensAfter);
        open({}, kCalculatorOption);
        pressButton("btnCalculator");
        pressButton("btnCalculator");  // while waiting: no second start
        loop.advanceBy(waited);
        const auto handle = window().calculator().window();
        EXPECT_EQ((std::tuple{starts, handle ? windows().parentOf(handle) : 0, window().calculator().isWaiting()}),
                  (std::tuple{1, captured ? item->parentWindow : 0, !captured && waited < Calculator::kWindowWaitMs}));
        item->display().FreeExternalDisplay();
        if (const auto left = windows().findWindow("SciCalc", "Calculator"))  // nobody captured it
            windows().destroyWindow(left);
        loop.clear();
    }
}

TEST_F(CompanionsTest, InstructionsOpenOnceCentredWithTheirCaptionAndImagesAndCloseWithTheItem)
{
    // The item's instructions, the page shown: an item without any shows an empty page, not
    // whatever the document was at.
    const std::pair<std::string, std::string> cases[] = {
        {R"(<html><body>Read <img src="pic.gif"> carefully.</body></html>)",
         R"(<html><body>Read <img src=")" + (supportDir / "pic.gif").string() + R"("> carefully.</body></html>)"},
        {"", ""},
    };
    for (const auto& [text, page] : cases) {
        SCOPED_TRACE(text);
        open({.extra = text.empty() ? "" : "<Instructions><Text><![CDATA[" + text + "]]></Text></Instructions>"});
        pressButton("btnInstructions");
        pressButton("btnInstructions");
        EXPECT_EQ(windows().childrenOf(item->parentWindow).size(), 2u);  // the item's window and the instructions
        auto* instructions = window().instructions();
        ASSERT_NE(instructions, nullptr);
        EXPECT_EQ(instructions->Caption() + " " + place(*instructions), "Instructions 1500,750 6000x4500");
        const auto& browser = instructions->txtInstructions;
        EXPECT_EQ((std::tuple{browser.html(), browser.BodyMargin(), browser.Width()}),
                  (std::tuple{page, "5px", instructions->ScaleWidth()}));

        const auto handle = instructions->hWnd();
        item->display().FreeExternalDisplay();
        EXPECT_FALSE(windows().isWindow(handle));
    }
}

TEST_F(CompanionsTest, TheInstructionsGetScrollBarsOnceTheTextNeedsThemPassOnlyTheDriversAltLettersAndSelectNoText)
{
    open({.extra = "<Instructions><Text><![CDATA[<html><body>Short.</body></html>]]></Text></Instructions>"});
    pressButton("btnInstructions");
    auto& instructions = *window().instructions();
    // inner size of the window, scroll bars afterwards: once there, they stay
    // clang-format off
    const std::tuple<float, float, bool> sizes[] = {
        {6000, 4500, false}, {1500, 390, false}, {1500, 389, true}, {6000, 4500, true},
    };
    // clang-format on
    engine->fixHeight(instructions.txtInstructions, 26);  // 390 twips of text
    for (const auto& [width, height, scrollBars] : sizes) {
        instructions.Move(0, 0, width + 8 * 15, height + 27 * 15);
        EXPECT_EQ(instructions.txtInstructions.ScrollBars(), scrollBars) << width << "x" << height;
    }

    auto& browser = instructions.txtInstructions;
    // type, key, alt, whether it passes
    const std::tuple<const char*, std::int32_t, bool, bool> keys[] = {
        {"keydown", 'A', true, true},   {"keydown", 'V', true, true},   {"keydown", 'B', true, false},
        {"keydown", 'A', false, false}, {"keypress", 'b', false, true},
    };
    for (const auto& [type, code, alt, passes] : keys) {
        auto event = platform::HtmlEvent::key(type, code, alt);
        browser.fireEvent(event);
        EXPECT_EQ(event.keyCode, passes ? code : 32) << type << " " << code;
    }
    browser.Document().selection().select();
    auto select = platform::HtmlEvent::selectStart();
    browser.fireEvent(select);
    EXPECT_TRUE(browser.Document().selection().isEmpty());
}

}  // namespace
}  // namespace quorin::test
