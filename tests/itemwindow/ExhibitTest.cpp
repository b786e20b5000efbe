#include "ItemWindowTesting.h"
#include "RecordingDisplay.h"

#include "companions/frmActExb.h"
#include "platform/ComponentRegistry.h"

#include <array>
#include <fstream>

namespace quorin::test {
namespace {

constexpr const char* kRecorder = "Test.RecordingDisplay";
constexpr const char* kMultipleChoice = "QuorinMultipleChoice.clsMultipleChoice";

std::string exhibit(const std::string& caption, const std::string& progid, const std::string& file,
                    const std::string& selfClosing)
{
    return "<Exhibit ButtonText=\"" + caption + "\" Progid=\"" + progid + "\" InitDataFilename=\"" + file
           + "\" SelfClosing=\"" + selfClosing + "\"/>";
}

class ExhibitTest : public ItemWindowTest {
protected:
    void SetUp() override
    {
        ItemWindowTest::SetUp();
        auto& registry = platform::ComponentRegistry::instance();
        registry.registerFactory(kRecorder, [this] {
            auto display = std::make_shared<RecordingDisplay>(calls);
            display->failInit = failInit;
            children.push_back(display);
            return display;
        });
        registry.registerFactory(kMultipleChoice, [] { return clsMultipleChoice::create(); });
        writeUtf16("table.xml", "<?xml version=\"1.0\"?><!-- a note --><Table>figures</Table>");
    }
    void TearDown() override
    {
        ItemWindowTest::TearDown();
        platform::ComponentRegistry::instance().unregisterFactory(kRecorder);
        platform::ComponentRegistry::instance().unregisterFactory(kMultipleChoice);
    }

    void writeUtf16(const std::string& name, const std::string& text)
    {
        const auto data = bytes(text);
        std::ofstream(supportDir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }
    // An item with those exhibits (all to be viewed).
    void openWith(const std::string& exhibits)
    {
        open({.extra = "<ActiveExhibits Require=\"TRUE\">" + exhibits + "</ActiveExhibits>"});
    }
    void press(std::int16_t button)
    {
        window().cmdActiveExhibits[button].click();
        loop.runUntilIdle();
    }
    frmActExb* exhibitWindow() const { return item->component->exhibitForm().get(); }
    bool stateHas(const std::string& part) const { return item->state().find(part) != std::string::npos; }

    std::shared_ptr<std::vector<std::string>> calls = std::make_shared<std::vector<std::string>>();
    std::vector<std::shared_ptr<RecordingDisplay>> children;
    bool failInit = false;
};

TEST_F(ExhibitTest, PressesWithinThreeSecondsOfTheLastOneOpenNothing)
{
    openWith(exhibit("Table", kRecorder, "table.xml", "False"));
    // time of each press (ms), whether it opened the exhibit: whole seconds are compared, and an
    // ignored press renews the time too
    const std::pair<std::int64_t, bool> presses[] = {
        {1000, true}, {4999, false}, {7999, false}, {10999, false}, {14000, true}, {14500, false},
    };
    std::size_t opened = 0;
    for (const auto& [at, opens] : presses) {
        loop.advanceBy(at - loop.now());
        press(1);
        opened += opens;
        EXPECT_EQ(children.size(), opened) << at;
    }
    EXPECT_TRUE(stateHas("<ViewedExhibits>2</ViewedExhibits>")) << item->state();
}

TEST_F(ExhibitTest, AnExhibitGetsItsFileWithoutMarkupAndASecondReplacesItHiddenAndFreedFirstAndViewedAllFollows)
{
    openWith(exhibit("Table", kRecorder, "table.xml", "False") + exhibit("Chart", kRecorder, "table.xml", ""));
    EXPECT_FALSE(viewedAll());
    press(1);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(vb::textFromBytes(children[0]->initBytes), "<Table>figures</Table>");
    // 6000 high, less the 375-twip Exit button and 50 below it
    EXPECT_EQ(*calls, (Texts{"ExternalSupport", "SetParentWnd", "Init 44 0", "Show 0 0 9000 5575"}));
    auto* form = exhibitWindow();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(
        (std::tuple{form->Visible(), form->cmdExit.Top(), windows().parentOf(form->hWnd()), item->display().hwnd()}),
        (std::tuple{true, 6000 - 375 - 50.0f, item->parentWindow, form->hWnd()}));
    EXPECT_EQ((std::tuple{window().exhibitViewed(1), window().exhibitViewed(2), viewedAll(),
                          stateHas("<Buttons>false</Buttons>")}),
              (std::tuple{true, false, false, true}));

    calls->clear();
    loop.advanceBy(5000);
    press(2);
    EXPECT_EQ(*calls, (Texts{"Hide", "Free", "ExternalSupport", "SetParentWnd", "Init 44 0", "Show 0 0 9000 5575"}));
    form = exhibitWindow();
    // An empty flag opens an exhibit that stays.
    EXPECT_EQ((std::tuple{form->cmdExit.Visible(), viewedAll(), stateHas("<ViewedExhibits>2</ViewedExhibits>"),
                          stateHas("<Buttons>True</Buttons>")}),
              (std::tuple{true, true, true, true}));

    form->cmdExit.click();
    EXPECT_EQ((std::tuple{calls->back(), form->isLoaded()}), (std::tuple{"Free", false}));
}

TEST_F(ExhibitTest, AResizeMovesTheExhibitWindowAndASelfClosingExhibitNeverShowsItAndGetsTheWholeArea)
{
    // The flag, the child's rectangles when shown and resized (less the Exit button and 100 when
    // it shows), the exhibit window and its Exit button when that shows.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"False", "Show 0 0 9000 5575", "Resize 0 0 8000 4525", "300,200 8000x5000, exit 120,4575 1695x375"},
        {"true", "Show 0 0 9000 6000", "Resize 0 0 8000 5000", "300,200 8000x5000 hidden"},
    };
    for (const auto& [selfClosing, shown, resized, windows] : cases) {
        SCOPED_TRACE(selfClosing);
        openWith(exhibit("Table", kRecorder, "table.xml", selfClosing));
        press(1);
        EXPECT_EQ(calls->back(), shown);
        item->display().ResizeExternalDisplay(300, 200, 8000, 5000);
        EXPECT_EQ(calls->back(), resized);
        const auto& exit = exhibitWindow()->cmdExit;
        EXPECT_EQ(place(*exhibitWindow()) + (exit.Visible() ? ", exit " + place(exit) : ""), windows);
    }
}

TEST_F(ExhibitTest, AMissingInitFileAndTheChildsOwnErrorAreReportedAndFreeingTheItemClosesTheExhibit)
{
    openWith(exhibit("Table", kRecorder, "", "False") + exhibit("Chart", kRecorder, "table.xml", "False"));
    press(1);
    EXPECT_EQ(item->errorRoutines(), Texts{"InitDisplay"});
    failInit = true;
    loop.advanceBy(5000);
    press(2);
    // The child's error is reported like the component's own, under the child's routine.
    const auto errors = item->errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ((std::tuple{errors[1].number, errors[1].routine, messages().size()}),
              (std::tuple{1234, "LoadExhibit", 2u}));
    const auto handle = exhibitWindow()->hWnd();
    item->display().FreeExternalDisplay();
    EXPECT_EQ((std::tuple{calls->back(), windows().isWindow(handle)}), (std::tuple{"Free", false}));
}

TEST_F(ExhibitTest, AMultipleChoiceItemWorksAsTheExhibitOfAnother)
{
    writeUtf16("inner.xml", "<?xml version=\"1.0\" encoding=\"utf-16\"?>" + itemXml({.max = "1", .heading = "Inner"}));
    openWith(exhibit("Inner item", kMultipleChoice, "inner.xml", "False"));
    press(1);
    auto* form = exhibitWindow();
    ASSERT_NE(form, nullptr);
    ASSERT_NE(form->exhibit(), nullptr);
    auto* inner = dynamic_cast<frmMain*>(platform::Form::fromHandle(form->exhibit()->hwnd()));
    ASSERT_NE(inner, nullptr);
    inner->optnBox[2].click();
    loop.runUntilIdle();
    EXPECT_EQ((std::tuple{inner->Visible(), windows().parentOf(inner->hWnd()), inner->Height(),
                          inner->optnBox[2].Value(), item->errors().empty()}),
              (std::tuple{true, form->hWnd(), 6000 - 375 - 50.0f, true, true}));

    const auto innerWindow = inner->hWnd();
    form->cmdExit.click();
    EXPECT_EQ(platform::Form::fromHandle(innerWindow), nullptr);
}

TEST_F(ExhibitTest, TheScrollHintShowsForFiftyTicksAndHides)
{
    ASSERT_TRUE(init({}));
    engine->fixHeight(window().txtItemStem, 500);  // too tall to fit: the candidate must scroll
    show();
    EXPECT_FALSE(viewedAll());
    auto& hint = window().ssWorkScroll;
    // time since the request, whether the hint shows
    const std::pair<std::int64_t, bool> ticks[] = {{24, false}, {25, true}, {1250, true}, {1274, true}, {1275, false}};
    std::int64_t now = 0;
    for (const auto& [at, visible] : ticks) {
        loop.advanceBy(at - now);
        now = at;
        EXPECT_EQ(hint.Visible(), visible) << at;
    }
    EXPECT_EQ((std::tuple{hint.Left(), hint.Top()}), (std::tuple{window().scrItemStem.Width() - hint.Width() - 350,
                                                                 window().scrItemStem.Height() - hint.Height() - 350}));
}

}  // namespace
}  // namespace quorin::test
