#include "ItemWindowTesting.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>

namespace quorin::test {
namespace {

using Rect = std::array<float, 4>;  // left, top, width, height

Rect boundsOf(const platform::Control& control)
{
    return {control.Left(), control.Top(), control.Width(), control.Height()};
}

// Two exhibits the candidate must open, captioned Map and Table.
const std::string kTwoRequiredExhibits =
    R"(<ActiveExhibits Require="TRUE">)"
    R"(<Exhibit ButtonText="Map" Progid="Quorin.Map" InitDataFilename="map.xml" SelfClosing="False"/>)"
    R"(<Exhibit ButtonText="Table" Progid="Quorin.Table" InitDataFilename="table.xml" SelfClosing=""/>)"
    "</ActiveExhibits>";

const std::string kScrollItem = "Please scroll to the end of the question before you go on.";

class LayoutTest : public ItemWindowTest {
protected:
    // Initialises the item without letting its documents complete, then fixes the heights in
    // pixels the engine reports for the stem and for each choice text (none when not given).
    void initWithHeights(const WindowItem& definition, std::optional<std::int32_t> stemPixels,
                         const std::vector<std::int32_t>& choicePixels, std::int32_t options = 0)
    {
        ASSERT_TRUE(init(definition, options));
        fixHeights(stemPixels, choicePixels);
    }
    void fixHeights(std::optional<std::int32_t> stemPixels, const std::vector<std::int32_t>& choicePixels)
    {
        if (stemPixels)
            engine->fixHeight(window().txtItemStem, *stemPixels);
        for (std::size_t p = 0; p < choicePixels.size(); ++p)
            engine->fixHeight(window().txtChoice[static_cast<std::int16_t>(p)], choicePixels[p]);
    }
    // A component whose static strings are the bundled ones with every edit applied (from, to).
    void initWithStatics(const WindowItem& definition, const std::vector<std::pair<std::string, std::string>>& edits)
    {
        std::string statics = velm::host::bundledStaticStrings();
        for (const auto& [from, to] : edits) {
            for (auto at = statics.find(from); at != std::string::npos; at = statics.find(from, at + to.size()))
                statics.replace(at, from.size(), to);
        }
        item = std::make_unique<ItemDriver>(statics.c_str(), supportDir);
        ASSERT_TRUE(item->init(windowItemXml(definition)));
    }

    // What the driver reads as ViewedAll.
    bool viewedAll()
    {
        std::int32_t lDispState = 0;
        bool bViewedAll = false;
        std::string sStateMsg;
        item->display().GetExternalDisplayStatus(lDispState, bViewedAll, sStateMsg);
        return bViewedAll;
    }
    // The text of that child of the saved State; empty when it is not there.
    std::optional<std::string> stateValue(const std::string& name)
    {
        const auto state = item->state();
        const auto open = "<" + name + ">";
        const auto at = state.find(open);
        if (at == std::string::npos)
            return std::nullopt;
        const auto start = at + open.size();
        return state.substr(start, state.find('<', start) - start);
    }
    // The message boxes shown so far other than error reports.
    Texts notices() const
    {
        auto texts = messages();
        std::erase_if(texts, [](const std::string& text) { return text.starts_with("Error: "); });
        return texts;
    }
    // How many full layout passes have run.
    std::size_t layouts() const
    {
        const auto& log = item->support->log();
        return static_cast<std::size_t>(std::count_if(log.begin(), log.end(), [](const auto& entry) {
            return entry.routine == "SizeControls" && entry.text == "begin size controls";
        }));
    }
    // The candidate scrolls the item area to that offset.
    void scrollTo(std::int32_t position)
    {
        window().scrItemStem.setVerticalPosition(position);
        loop.runUntilIdle();
    }
};

// ---------------------------------------------------------------------------------------------
// When the layout happens

TEST_F(LayoutTest, AResizeBeforeTheDocumentsCompleteShowsTheWindowAtOnceAndLaysItOutOnTheLastCompletion)
{
    using Pick = std::function<platform::WebBrowser&(frmMain&)>;
    // The document still loading when the driver asks for the rectangle: null for every
    // document of a fresh item.
    const std::pair<const char*, Pick> cases[] = {
        {"every document", nullptr},
        {"brwTitle", [](frmMain& f) -> platform::WebBrowser& { return f.brwTitle; }},
        {"brwLeftEdge", [](frmMain& f) -> platform::WebBrowser& { return f.brwLeftEdge; }},
        {"brwRightEdge", [](frmMain& f) -> platform::WebBrowser& { return f.brwRightEdge; }},
        {"brwButtons", [](frmMain& f) -> platform::WebBrowser& { return f.brwButtons; }},
        {"brwBottom", [](frmMain& f) -> platform::WebBrowser& { return f.brwBottom; }},
        {"txtItemStem", [](frmMain& f) -> platform::WebBrowser& { return f.txtItemStem; }},
        {"txtChoice(0)", [](frmMain& f) -> platform::WebBrowser& { return f.txtChoice[0]; }},
        {"txtChoice(3)", [](frmMain& f) -> platform::WebBrowser& { return f.txtChoice[3]; }},
    };
    for (const auto& [pending, pick] : cases) {
        SCOPED_TRACE(std::string("pending: ") + pending);
        ASSERT_TRUE(init({}));
        if (pick) {
            loop.runUntilIdle();
            auto& browser = pick(window());
            browser.LoadHTML(browser.html());
        }
        item->display().ShowExternalDisplay(300, 200, 9000, 6000);
        auto& form = window();
        EXPECT_TRUE(form.Visible());
        // Not moved: the first showing lays out the frame provisionally at the window's own
        // 4800 x 3600 twips, without the bottom strip.
        EXPECT_EQ((Rect{form.Left(), form.Top(), form.Width(), form.Height()}), (Rect{0, 0, 4800, 3600}));
        EXPECT_EQ(boundsOf(form.scrItemStem), (Rect{120, 405, 4560, 2580}));
        EXPECT_FALSE(form.scrItemStem.Visible());
        EXPECT_FALSE(form.chkBox[0].Visible());
        EXPECT_EQ(layouts(), 0u);
        EXPECT_FALSE(viewedAll());
        EXPECT_TRUE(messages().empty());

        loop.runUntilIdle();
        EXPECT_EQ((Rect{form.Left(), form.Top(), form.Width(), form.Height()}), (Rect{300, 200, 9000, 6000}));
        EXPECT_EQ(boundsOf(form.scrItemStem), (Rect{120, 405, 8760, 4860}));
        EXPECT_TRUE(form.scrItemStem.Visible());
        EXPECT_TRUE(form.chkBox[3].Visible());
        EXPECT_EQ(layouts(), 1u);
        EXPECT_TRUE(viewedAll());
        EXPECT_TRUE(item->errors().empty());
    }
}

TEST_F(LayoutTest, ARequestWithEveryDocumentCompleteIsAppliedAtOnceAndOnlyTheLastOfSeveralPendingOnesCounts)
{
    ASSERT_TRUE(init({}));
    loop.runUntilIdle();
    item->display().ShowExternalDisplay(0, 0, 9000, 6000);
    EXPECT_EQ(window().Width(), 9000);
    EXPECT_TRUE(window().scrItemStem.Visible());
    EXPECT_EQ(layouts(), 1u);

    // Two requests while a choice reloads: one layout, at the second rectangle.
    window().txtChoice[1].LoadHTML(window().txtChoice[1].html());
    item->display().ResizeExternalDisplay(0, 0, 9600, 7000);
    item->display().ResizeExternalDisplay(150, 75, 10500, 7500);
    EXPECT_EQ(window().Width(), 9000);
    EXPECT_EQ(layouts(), 1u);
    loop.runUntilIdle();
    EXPECT_EQ((Rect{window().Left(), window().Top(), window().Width(), window().Height()}), (Rect{150, 75, 10500, 7500}));
    EXPECT_EQ(boundsOf(window().scrItemStem), (Rect{120, 405, 10260, 6360}));
    EXPECT_EQ(layouts(), 2u);
}

TEST_F(LayoutTest, EveryLaterRequestLaysTheWindowOutAgainFromTheTopAndAReadOnlyItemDisablesItsChoices)
{
    // Options, requested rectangle, the rectangle the window gets (the component raises a resize
    // below 8000 x 4500 to that), and whether the answer controls stay enabled.
    const std::tuple<std::int32_t, Rect, Rect, bool> cases[] = {
        {0, {100, 50, 9600, 7200}, {100, 50, 9600, 7200}, true},
        {0, {0, 0, 7999, 4499}, {0, 0, 8000, 4500}, true},
        {1, {0, 0, 9600, 7200}, {0, 0, 9600, 7200}, false},
    };
    for (const auto& [options, request, applied, enabled] : cases) {
        SCOPED_TRACE("options " + std::to_string(options) + ", width " + std::to_string(request[2]));
        initWithHeights({}, 400, {30, 45, 60, 24}, options);
        show();
        scrollTo(2000);
        item->display().ResizeExternalDisplay(static_cast<std::int32_t>(request[0]), static_cast<std::int32_t>(request[1]),
                                              static_cast<std::int32_t>(request[2]), static_cast<std::int32_t>(request[3]));
        auto& form = window();
        EXPECT_EQ((Rect{form.Left(), form.Top(), form.Width(), form.Height()}), applied);
        EXPECT_EQ(form.scrItemStem.Width(), applied[2] - 240);
        EXPECT_EQ(form.scrItemStem.Height(), applied[3] - 1140);
        EXPECT_EQ(form.scrItemStem.VerticalPosition(), 0);
        EXPECT_EQ(form.txtChoice[0].Width(), applied[2] - 240 - 1100);
        for (std::int16_t p = 0; p < 4; ++p)
            EXPECT_EQ(form.chkBox[p].Enabled(), enabled) << "position " << p;
    }
}

// ---------------------------------------------------------------------------------------------
// Where everything goes

struct Placement {
    const char* name;
    float twipsPerPixelX;
    float twipsPerPixelY;
    Rect window;
    bool caseStudy;
    std::string max;
    std::int32_t stemPixels;
    std::vector<std::int32_t> choicePixels;
    // Expected: the frame (title, left edge, right edge, bottom strip, button bar), the scroll
    // area, the stem, the left of the answer controls, then per choice the top of its box and
    // the height of its text; the choices' container (top, width, height) and the scrolling height.
    std::array<Rect, 5> frame;
    Rect scrollArea;
    Rect stem;
    float boxLeft;
    std::vector<std::pair<float, float>> choices;
    float textWidth;
    Rect container;
    std::int32_t scrollingHeight;
};

TEST_F(LayoutTest, TheFrameTheStemAndEveryChoiceSitWhereTheWindowRectangleAndTheContentHeightsPutThem)
{
    const Placement cases[] = {
        // Frame 405 title, 120 edges, 615 button bar, 120 bottom strip; spacing 150. Each box sits
        // one pixel below the previous text: 50 + 31 x 15 = 515, + 46 x 15 = 1205, + 61 x 15 = 2120.
        {"check boxes at 15 twips per pixel", 15, 15, {0, 0, 9000, 6000}, false, "2", 100, {30, 45, 60, 24},
         {Rect{0, 0, 9000, 405}, Rect{0, 405, 120, 5475}, Rect{8880, 405, 120, 5475}, Rect{0, 5880, 9000, 120},
          Rect{120, 5265, 8760, 615}},
         {120, 405, 8760, 4860}, {0, 0, 8460, 1500}, 150,
         {{50, 450}, {515, 675}, {1205, 900}, {2120, 360}}, 7660,
         {0, 1500, 8760, 2120 + 150 + 360}, 2630 + 1500 + 150},
        // Horizontal lengths at 12, vertical ones at 10 twips per pixel; the spacing comes from
        // the horizontal measure alone (120), also where it is used vertically.
        {"option buttons on a screen of unequal measures", 12, 10, {0, 0, 9600, 7200}, false, "1", 100, {30, 45, 60},
         {Rect{0, 0, 9600, 270}, Rect{0, 270, 96, 6850}, Rect{9504, 270, 96, 6850}, Rect{0, 7120, 9600, 80},
          Rect{96, 6710, 9408, 410}},
         {96, 270, 9408, 6440}, {0, 0, 9168, 1000}, 120,
         {{50, 300}, {360, 450}, {820, 600}}, 8308,
         {0, 1000, 9408, 820 + 120 + 600}, 1540 + 1000 + 120},
        // 7.5 twips per pixel: heights in twips round half to even (21 px = 157.5 -> 158,
        // 23 px = 172.5 -> 172, 25 px = 187.5 -> 188); the next box is 50 + 24 x 7.5 = 230.
        {"half twips rounded to even", 7.5, 7.5, {0, 0, 9000, 6000}, false, "2", 21, {23, 25},
         {Rect{0, 0, 9000, 202.5}, Rect{0, 202.5, 60, 5737.5}, Rect{8940, 202.5, 60, 5737.5}, Rect{0, 5940, 9000, 60},
          Rect{60, 5632.5, 8880, 307.5}},
         {60, 202.5, 8880, 5430}, {0, 0, 8730, 158}, 75,
         {{50, 172}, {230, 188}}, 7780,
         {0, 158, 8880, 230 + 75 + 188}, 493 + 158 + 75},
        // A case study has only the button bar, across the whole width, and the item area above it.
        {"case study", 15, 15, {0, 0, 9000, 6000}, true, "2", 100, {30, 45},
         {Rect{}, Rect{}, Rect{}, Rect{}, Rect{0, 5385, 9000, 615}},
         {0, 0, 9000, 5385}, {0, 0, 8700, 1500}, 150,
         {{50, 450}, {515, 675}}, 7900,
         {0, 1500, 9000, 515 + 150 + 675}, 1340 + 1500 + 150},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::Screen::instance().setTwipsPerPixelX(c.twipsPerPixelX);
        platform::Screen::instance().setTwipsPerPixelY(c.twipsPerPixelY);
        initWithHeights({.choices = static_cast<int>(c.choicePixels.size()), .max = c.max}, c.stemPixels, c.choicePixels);
        window().setCaseStudy(c.caseStudy);
        show({static_cast<std::int32_t>(c.window[0]), static_cast<std::int32_t>(c.window[1]),
              static_cast<std::int32_t>(c.window[2]), static_cast<std::int32_t>(c.window[3])});
        auto& form = window();
        ASSERT_TRUE(item->errors().empty());

        const platform::WebBrowser* chrome[] = {&form.brwTitle, &form.brwLeftEdge, &form.brwRightEdge, &form.brwBottom,
                                                &form.brwButtons};
        for (std::size_t i = 0; i < 5; ++i) {
            SCOPED_TRACE(chrome[i]->Name());
            const bool shown = !c.caseStudy || chrome[i] == &form.brwButtons;
            EXPECT_EQ(chrome[i]->Visible(), shown);
            if (shown) {
                EXPECT_EQ(boundsOf(*chrome[i]), c.frame[i]);
            }
        }
        EXPECT_EQ(boundsOf(form.scrItemStem), c.scrollArea);
        EXPECT_EQ(boundsOf(form.txtItemStem), c.stem);

        for (std::int16_t p = 0; p < static_cast<std::int16_t>(c.choices.size()); ++p) {
            SCOPED_TRACE("position " + std::to_string(p));
            const auto& box = answerControl(p);
            const auto& text = form.txtChoice[p];
            const auto [top, height] = c.choices[static_cast<std::size_t>(p)];
            EXPECT_EQ(box.Left(), c.boxLeft);
            EXPECT_EQ(box.Top(), top);
            EXPECT_EQ(boundsOf(text), (Rect{c.boxLeft + answerControl(0).Width() + 25, top, c.textWidth, height}));
            EXPECT_TRUE(box.Visible());
            EXPECT_TRUE(text.Visible());
        }
        EXPECT_EQ((Rect{form.pcChoicesContainer.Left(), form.pcChoicesContainer.Top(), form.pcChoicesContainer.Width(),
                        form.pcChoicesContainer.Height()}),
                  c.container);
        EXPECT_EQ(form.scrItemStem.ScrollingHeight(), c.scrollingHeight);
        EXPECT_EQ(stateValue("ItemStemHeight"), std::to_string(static_cast<int>(c.scrollArea[3])));
        item.reset();
        platform::Screen::instance().reset();
        engine->clearFixedHeights();
    }
}

TEST_F(LayoutTest, ExhibitButtonsStandInARowCentredBelowTheStemAndTheChoicesFollowThem)
{
    const std::string exhibit = R"(<Exhibit ButtonText="Exhibit with a long caption" Progid="Quorin.Exhibit" )"
                                R"(InitDataFilename="e.xml" SelfClosing="True"/>)";
    for (const int count : {1, 2, 3}) {
        SCOPED_TRACE(std::to_string(count) + " exhibits");
        std::string exhibits = "<ActiveExhibits>";
        for (int i = 0; i < count; ++i)
            exhibits += exhibit;
        initWithHeights({.extra = exhibits + "</ActiveExhibits>"}, 100, {30, 45, 60, 24});
        show();
        auto& buttons = window().cmdActiveExhibits;
        ASSERT_EQ(buttons.count(), count + 1);
        EXPECT_FALSE(buttons[0].Visible());
        float widths = 0;
        for (std::int16_t i = 1; i <= count; ++i)
            widths += buttons[i].Width();
        // Centred in the 9000-twip window with half the spacing (75) per array element, less one.
        float left = (9000 - (75.0f * static_cast<float>(count + 1) - 1 + widths)) / 2;
        for (std::int16_t i = 1; i <= count; ++i) {
            SCOPED_TRACE("button " + std::to_string(i));
            EXPECT_EQ(buttons[i].Top(), 1500 + 75);
            EXPECT_EQ(buttons[i].Left(), left);
            EXPECT_TRUE(buttons[i].Visible());
            left += buttons[i].Width() + 100;
        }
        const float top = 1575 + buttons[1].Height() + 150;
        EXPECT_EQ(window().pcChoicesContainer.Top(), top);
        EXPECT_EQ(window().scrItemStem.ScrollingHeight(), static_cast<std::int32_t>(2630 + top + 150));
    }
}

// ---------------------------------------------------------------------------------------------
// Seeing the whole item

TEST_F(LayoutTest, AnItemAreaThatFitsCountsAsScrolledAtTheFirstLayoutAndOneTwipShortDoesNot)
{
    // The content is 200 px of stem and one 40 px choice: 3000 + 50 + 600 + 150 + 150 = 3950
    // twips, shown in an area 1140 twips lower than the window. An exact fit is seen yet has no
    // room to spare, which the log notes for whoever looks into a candidate's report.
    const std::tuple<std::int32_t, bool, bool> cases[] = {
        {5090, true, true}, {5089, false, false}, {9000, true, false}, {4000, false, false}};
    for (const auto& [height, fits, noted] : cases) {
        SCOPED_TRACE("window height " + std::to_string(height));
        initWithHeights({.choices = 1}, 200, {40});
        show({0, 0, 9000, height});
        ASSERT_EQ(window().scrItemStem.ScrollingHeight(), 3950);
        EXPECT_EQ(viewedAll(), fits);
        EXPECT_EQ(messages(), fits ? Texts{} : Texts{kScrollItem});
        EXPECT_EQ(window().tmflash.Enabled(), !fits);
        EXPECT_EQ(stateValue("Buttons"), fits ? std::optional<std::string>("True") : std::nullopt);
        const auto& log = item->support->log();
        EXPECT_EQ(std::any_of(log.begin(), log.end(),
                              [](const auto& entry) {
                                  return entry.routine == "ViewedAll"
                                      && entry.text.starts_with("viewedall = true, but scroll height > height  bcheckscroll = True");
                              }),
                  noted);
        // Handed back, the state records what the window decided.
        item->restore(item->savedState());
        EXPECT_EQ(stateValue("ItemAreaScroll"), fits ? "True" : "False");
    }
}

TEST_F(LayoutTest, ScrollingCountsOnlyOnceTheAreaBottomAndTenPixelsPassTheEndAndIsNeverTakenBack)
{
    // 400 px of stem and choices of 30, 45, 60 and 24 px: 6000 + 2630 + 150 = 8780 twips of
    // content in a 4860-twip area. 4860 + 3770 + 150 = 8780 is not past the end.
    const std::pair<std::int32_t, bool> cases[] = {{0, false}, {3769, false}, {3770, false}, {3771, true}, {3920, true}};
    for (const auto& [position, counts] : cases) {
        SCOPED_TRACE("scrolled to " + std::to_string(position));
        initWithHeights({}, 400, {30, 45, 60, 24});
        show();
        ASSERT_EQ(window().scrItemStem.ScrollingHeight(), 8780);
        scrollTo(position);
        EXPECT_EQ(stateValue("ItemAreaScroll"), counts ? std::optional<std::string>("True") : std::nullopt);
        scrollTo(0);
        EXPECT_EQ(viewedAll(), counts);
        item->display().ResizeExternalDisplay(0, 0, 9000, 6000);
        EXPECT_EQ(viewedAll(), counts);
    }
}

TEST_F(LayoutTest, TheCandidateScrollingToTheEndCountsAsIfTheWholeItemHadBeenSeen)
{
    initWithHeights({}, 400, {30, 45, 60, 24});
    show();
    EXPECT_FALSE(viewedAll());
    window().scrItemStem.scrollToEnd();
    loop.runUntilIdle();
    EXPECT_EQ(window().scrItemStem.VerticalPosition(), 8780 - 4860);
    EXPECT_TRUE(viewedAll());
    EXPECT_EQ(messages(), Texts{kScrollItem});
}

TEST_F(LayoutTest, AStateHandedBackWithItsScrollAndExhibitFlagsKeepsTheScrollFlagThroughTheFirstLayout)
{
    // The state before the first layout of an item that does not fit, and whether it then counts as seen.
    const std::pair<std::string, bool> cases[] = {
        {"", false},
        {"<State><Responses/><ItemAreaScroll>True</ItemAreaScroll><Buttons>True</Buttons></State>", true},
        {"<State><Responses/><ItemAreaScroll>True</ItemAreaScroll></State>", false},
        {"<State><Responses/><Buttons>True</Buttons></State>", false},
        {"<State><Responses/><ItemAreaScroll>False</ItemAreaScroll><Buttons>True</Buttons></State>", false},
    };
    for (const auto& [state, seen] : cases) {
        SCOPED_TRACE(state);
        initWithHeights({}, 400, {30, 45, 60, 24});
        if (!state.empty())
            item->restore(bytes(state));
        show();
        EXPECT_EQ(viewedAll(), seen);
    }
}

TEST_F(LayoutTest, TheViewingNoticeNamesTheUnopenedExhibitsAndAsksForScrollingOnlyWhenThatIsMissingToo)
{
    struct Case {
        const char* name;
        std::string exhibits;
        std::int32_t stemPixels;  // 50 fits, 400 does not
        bool viewed;
        Texts messages;
        bool flashing;
        std::optional<std::string> buttons;
    };
    const Case cases[] = {
        {"exhibits unopened, not scrolled", kTwoRequiredExhibits, 400, false,
         {"Please scroll to the end of the question and open the exhibits Map, Table before you go on."}, true, "false"},
        {"exhibits unopened, fits", kTwoRequiredExhibits, 50, false,
         {"Please open the exhibits Map, Table before you go on."}, false, "false"},
        {"exhibits not required, fits", R"(<ActiveExhibits><Exhibit ButtonText="Map"/></ActiveExhibits>)", 50, true,
         {}, false, "True"},
        {"exhibits not required, not scrolled", R"(<ActiveExhibits><Exhibit ButtonText="Map"/></ActiveExhibits>)",
         400, false, {kScrollItem}, true, std::nullopt},
        {"one exhibit unopened, fits",
         R"(<ActiveExhibits Require="true"><Exhibit ButtonText="Map"/></ActiveExhibits>)", 50, false,
         {"Please open the exhibits Map before you go on."}, false, "false"},
        {"no exhibits, not scrolled", "", 400, false, {kScrollItem}, true, std::nullopt},
        {"no exhibits, fits", "", 50, true, {}, false, "True"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        initWithHeights({.extra = c.exhibits}, c.stemPixels, {30, 45, 60, 24});
        show();
        EXPECT_EQ(viewedAll(), c.viewed);
        EXPECT_EQ(messages(), c.messages);
        for (const auto& message : item->support->messages())
            EXPECT_EQ(message.style, 0);
        EXPECT_EQ(window().tmflash.Enabled(), c.flashing);
        EXPECT_EQ(stateValue("Buttons"), c.buttons);
        EXPECT_TRUE(item->errors().empty());
    }
}

TEST_F(LayoutTest, ANoticeIsShownOnlyWhereItsMessageAllowsItAndOneThatCannotBeCompletedIsReported)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> edits;
        std::string exhibits;
        std::int32_t stemPixels;
        Texts messages;
        Texts errors;
    };
    const Case cases[] = {
        {"ScrollItem not allowed", {{R"(<ScrollItem DisplayScrollMsg="True">)", R"(<ScrollItem DisplayScrollMsg="no">)"}},
         "", 400, {}, {}},
        {"ScrollItem allowed in lower case",
         {{R"(<ScrollItem DisplayScrollMsg="True">)", R"(<ScrollItem DisplayScrollMsg="TRUE">)"}}, "", 400,
         {kScrollItem}, {}},
        {"ScrollBoth without the setting", {{R"(<ScrollBoth DisplayScrollMsg="True">)", "<ScrollBoth>"}},
         kTwoRequiredExhibits, 400, {}, {}},
        {"ScrollButtons without its mark", {{"exhibits??before", "exhibits before"}}, kTwoRequiredExhibits, 50, {},
         {"ViewedAll_Get"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        initWithStatics({.extra = c.exhibits}, c.edits);
        fixHeights(c.stemPixels, {30, 45, 60, 24});
        show();
        EXPECT_FALSE(viewedAll());
        EXPECT_EQ(notices(), c.messages);
        EXPECT_EQ(item->errorRoutines(), c.errors);
    }
}

// ---------------------------------------------------------------------------------------------
// Long texts

TEST_F(LayoutTest, AReadingPassageOrAChoiceTallerThan32767TwipsLaysOutWholeAndScrolls)
{
    // Stem pixels and choice pixels; 2500 px are 37,500 twips.
    const std::tuple<const char*, std::int32_t, std::vector<std::int32_t>, Rect, float, std::int32_t> cases[] = {
        // The container starts below the stem, at 37,500; 37,500 + 2630 + 150.
        {"long stem", 2500, {30, 45, 60, 24}, {0, 0, 8460, 37500}, 515, 40280},
        // The second box sits 2501 px below the first: 50 + 37,515; the container's height is
        // 37,565 + 675 + 900 + 360 + 15 x 2 + 150, the stem's 1500 above it, and 150 below.
        {"long first choice", 100, {2500, 45, 60, 24}, {0, 0, 8460, 1500}, 37565, 39680 + 1500 + 150},
    };
    for (const auto& [name, stemPixels, choicePixels, stem, secondTop, scrollingHeight] : cases) {
        SCOPED_TRACE(name);
        initWithHeights({}, stemPixels, choicePixels);
        show();
        EXPECT_TRUE(item->errors().empty());
        EXPECT_EQ(boundsOf(window().txtItemStem), stem);
        EXPECT_EQ(window().txtChoice[0].Height(), static_cast<float>(choicePixels[0] * 15));
        EXPECT_EQ(window().chkBox[1].Top(), secondTop);
        EXPECT_TRUE(window().chkBox[3].Visible());
        EXPECT_EQ(window().scrItemStem.ScrollingHeight(), scrollingHeight);
        EXPECT_FALSE(viewedAll());
        scrollTo(scrollingHeight - 4860 - 150);
        EXPECT_FALSE(viewedAll());
        scrollTo(scrollingHeight - 4860 - 149);
        EXPECT_TRUE(viewedAll());
    }
}

}  // namespace
}  // namespace quorin::test
