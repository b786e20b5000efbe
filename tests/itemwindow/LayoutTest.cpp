#include "ItemWindowTesting.h"

#include "itemwindow/ItemLayout.h"
#include "vb/Strings.h"

#include <algorithm>
#include <optional>

namespace quorin::test {
namespace {

// Two exhibits the candidate must open, captioned Map and Table.
const std::string kTwoRequiredExhibits =
    R"(<ActiveExhibits Require="TRUE">)"
    R"(<Exhibit ButtonText="Map" Progid="Quorin.Map" InitDataFilename="map.xml" SelfClosing="False"/>)"
    R"(<Exhibit ButtonText="Table" Progid="Quorin.Table" InitDataFilename="table.xml" SelfClosing=""/>)"
    "</ActiveExhibits>";

const std::string kScrollItem = "Please scroll to the end of the question before you go on.";

class LayoutTest : public ItemWindowTest {
protected:
    // Fixes the heights in pixels the engine reports for the stem and for each choice text of an
    // item whose documents have not completed yet.
    void fixHeights(std::int32_t stemPixels, const std::vector<std::int32_t>& choicePixels = {30, 45, 60, 24})
    {
        engine->fixHeight(window().txtItemStem, stemPixels);
        for (std::size_t p = 0; p < choicePixels.size(); ++p)
            engine->fixHeight(window().txtChoice[static_cast<std::int16_t>(p)], choicePixels[p]);
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
    // What the driver sees of the layout: the window, its item area, the last answer box, the
    // full layout passes run so far and whether the item counts as viewed whole.
    std::string seen() const
    {
        const auto& log = item->support->log();
        const auto layouts = std::count_if(log.begin(), log.end(), [](const auto& entry) {
            return entry.routine == "SizeControls" && entry.text == "begin size controls";
        });
        const auto& form = window();
        return place(form) + " | area " + place(form.scrItemStem) + " | box " + place(form.chkBox[3]) + " | "
               + std::to_string(layouts) + (viewedAll() ? " layouts, viewed" : " layouts");
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
    // The document still loading when the driver asks for the rectangle: every one of a fresh
    // item (-1), or one of the ten of a loaded item, reloading.
    for (int pending = -1; pending < 10; ++pending) {
        SCOPED_TRACE("pending: " + std::to_string(pending));
        ASSERT_TRUE(init({}));
        if (pending >= 0) {
            loop.runUntilIdle();
            auto& browser = *documents().at(static_cast<std::size_t>(pending));
            browser.LoadHTML(browser.html());
        }
        item->display().ShowExternalDisplay(300, 200, 9000, 6000);
        // Not moved: the frame is laid out provisionally at the window's own 4800 x 3600 twips.
        EXPECT_EQ(seen(), "0,0 4800x3600 | area 120,405 4560x2580 hidden | box 0,0 615x255 hidden | 0 layouts");
        EXPECT_TRUE(messages().empty());
        loop.runUntilIdle();
        EXPECT_EQ(seen(), "300,200 9000x6000 | area 120,405 8760x4860 | box 150,1175 615x255 | 1 layouts, viewed");
        EXPECT_TRUE(item->errors().empty());
    }
}

TEST_F(LayoutTest, ALaterRequestIsLaidOutAtOnceFromTheTopAndOnlyTheLastOfSeveralPendingOnesCounts)
{
    ASSERT_TRUE(init({}));
    fixHeights(400);
    loop.runUntilIdle();
    item->display().ShowExternalDisplay(0, 0, 9000, 6000);
    EXPECT_EQ(seen(), "0,0 9000x6000 | area 120,405 8760x4860 | box 150,2120 615x255 | 1 layouts");
    scrollTo(2000);
    item->display().ResizeExternalDisplay(100, 50, 9600, 7200);
    EXPECT_EQ(seen(), "100,50 9600x7200 | area 120,405 9360x6060 | box 150,2120 615x255 | 2 layouts");
    EXPECT_EQ(window().scrItemStem.VerticalPosition(), 0);

    // Two requests while a choice reloads: one layout, at the second rectangle.
    window().txtChoice[1].LoadHTML(window().txtChoice[1].html());
    item->display().ResizeExternalDisplay(0, 0, 9600, 7000);
    item->display().ResizeExternalDisplay(150, 75, 10500, 7500);
    EXPECT_EQ(seen(), "100,50 9600x7200 | area 120,405 9360x6060 | box 150,2120 615x255 | 2 layouts");
    loop.runUntilIdle();
    EXPECT_EQ(seen(), "150,75 10500x7500 | area 120,405 10260x6360 | box 150,2120 615x255 | 3 layouts");
}

// ---------------------------------------------------------------------------------------------
// Where everything goes

platform::Bounds at(float left, float top, float width, float height)
{
    return {left, top, width, height};
}

TEST(ItemLayout, TheFrameFollowsTheWindowSizeAndTheStripsAndACaseStudyHasOnlyTheButtonBar)
{
    struct Case {
        const char* name;
        float width, height;
        FrameStrips strips;  // title, left, right, button bar, bottom
        bool caseStudy;
        std::vector<platform::Bounds> expected;  // title, left edge, right edge, bottom, buttons, item area
    };
    // clang-format off
    const Case cases[] = {
        {"15 twips per pixel", 9000, 6000, {405, 120, 120, 615, 120}, false,
         {at(0, 0, 9000, 405), at(0, 405, 120, 5475), at(8880, 405, 120, 5475), at(0, 5880, 9000, 120),
          at(120, 5265, 8760, 615), at(120, 405, 8760, 4860)}},
        {"unequal measures", 9600, 7200, {270, 96, 80, 410, 80}, false,
         {at(0, 0, 9600, 270), at(0, 270, 96, 6850), at(9520, 270, 80, 6850), at(0, 7120, 9600, 80),
          at(96, 6710, 9424, 410), at(96, 270, 9424, 6440)}},
        {"half twips", 9000, 6000, {202.5, 60, 60, 307.5, 60}, false,
         {at(0, 0, 9000, 202.5), at(0, 202.5, 60, 5737.5), at(8940, 202.5, 60, 5737.5), at(0, 5940, 9000, 60),
          at(60, 5632.5, 8880, 307.5), at(60, 202.5, 8880, 5430)}},
        {"provisional, without the bottom strip", 4800, 3600, {405, 120, 120, 615, 0}, false,
         {at(0, 0, 4800, 405), at(0, 405, 120, 3195), at(4680, 405, 120, 3195), at(0, 3600, 4800, 0),
          at(120, 2985, 4560, 615), at(120, 405, 4560, 2580)}},
        {"case study", 9000, 6000, {405, 120, 120, 615, 120}, true,
         {{}, {}, {}, {}, at(0, 5385, 9000, 615), at(0, 0, 9000, 5385)}},
        {"too small a window keeps no negative size", 200, 900, {405, 120, 120, 615, 120}, false,
         {at(0, 0, 200, 405), at(0, 405, 120, 375), at(80, 405, 120, 375), at(0, 780, 200, 120),
          at(120, 165, 0, 615), at(120, 405, 0, 0)}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto f = ItemLayout::frame(c.width, c.height, c.strips, c.caseStudy);
        EXPECT_EQ((std::vector{f.title, f.leftEdge, f.rightEdge, f.bottom, f.buttons, f.itemArea}), c.expected);
    }
}

TEST(ItemLayout, TheStemExhibitButtonsAndChoicesStackUpFromTheMeasuredHeights)
{
    struct Case {
        const char* name;
        float itemAreaWidth;
        std::int16_t spacing;
        float twipsPerPixelY;
        std::int32_t stemPixels;
        std::vector<float> exhibitWidths;
        std::vector<std::int32_t> choicePixels;
        // Expected: the stem, each exhibit button's left and top, each box's top and text height,
        // the choices' container and the scrolling height.
        platform::Bounds stem;
        std::vector<std::pair<float, float>> exhibits;
        std::vector<std::pair<float, float>> choices;
        platform::Bounds container;
        std::int32_t scrollingHeight;
    };
    // Each box sits one pixel below the previous text: 50 + 31 x 15 = 515, + 46 x 15 = 1205, ...
    // clang-format off
    const Case cases[] = {
        {"check boxes", 8760, 150, 15, 100, {}, {30, 45, 60, 24}, at(0, 0, 8460, 1500), {},
         {{50, 450}, {515, 675}, {1205, 900}, {2120, 360}}, at(0, 1500, 8760, 2630), 2630 + 1500 + 150},
        {"10 twips per pixel", 9408, 120, 10, 100, {}, {30, 45, 60}, at(0, 0, 9168, 1000), {},
         {{50, 300}, {360, 450}, {820, 600}}, at(0, 1000, 9408, 1540), 1540 + 1000 + 120},
        // 21 px = 157.5 -> 158, 23 px = 172.5 -> 172, 25 px = 187.5 -> 188; the next box is 50 + 24 x 7.5.
        {"half twips rounded to even", 8880, 75, 7.5, 21, {}, {23, 25}, at(0, 0, 8730, 158), {},
         {{50, 172}, {230, 188}}, at(0, 158, 8880, 493), 493 + 158 + 75},
        // Centred in the 9000-twip window with half the spacing per array element, less one:
        // (9000 - (75 x 3 - 1 + 2100)) / 2 = 3338; the choices 150 below the 375-twip buttons.
        {"two exhibits", 8760, 150, 15, 100, {1200, 900}, {30}, at(0, 0, 8460, 1500), {{3338, 1575}, {4638, 1575}},
         {{50, 450}}, at(0, 2100, 8760, 650), 650 + 2100 + 150},
        {"one exhibit", 8760, 150, 15, 100, {1200}, {30}, at(0, 0, 8460, 1500), {{3825.5, 1575}},
         {{50, 450}}, at(0, 2100, 8760, 650), 650 + 2100 + 150},
        // Heights beyond 16 bits: 2500 px are 37,500 twips.
        {"long stem", 8760, 150, 15, 2500, {}, {30, 45, 60, 24}, at(0, 0, 8460, 37500), {},
         {{50, 450}, {515, 675}, {1205, 900}, {2120, 360}}, at(0, 37500, 8760, 2630), 40280},
        {"long first choice", 8760, 150, 15, 100, {}, {2500, 45, 60, 24}, at(0, 0, 8460, 1500), {},
         {{50, 37500}, {37565, 675}, {38255, 900}, {39170, 360}}, at(0, 1500, 8760, 39680), 39680 + 1500 + 150},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ContentMeasures measures{.itemAreaWidth = c.itemAreaWidth,
                                 .windowWidth = 9000,
                                 .horzSpacing = c.spacing,
                                 .vertSpacing = c.spacing,
                                 .twipsPerPixelY = c.twipsPerPixelY,
                                 .stemPixels = c.stemPixels};
        for (const float width : c.exhibitWidths) {
            measures.exhibits.push_back(at(0, 0, width, 375));
            measures.exhibitsWidth += static_cast<std::int32_t>(width);
        }
        measures.boxes.assign(c.choicePixels.size(), at(7, 7, 255, 240));
        measures.choicePixels = c.choicePixels;
        const auto layout = ItemLayout::content(measures);
        ASSERT_EQ(layout.exhibits.size(), c.exhibits.size());
        for (std::size_t i = 0; i < c.exhibits.size(); ++i)
            EXPECT_EQ(layout.exhibits[i], at(c.exhibits[i].first, c.exhibits[i].second, c.exhibitWidths[i], 375)) << i;
        ASSERT_EQ(layout.boxes.size(), c.choices.size());
        const float textLeft = static_cast<float>(c.spacing) + 255 + 25;
        for (std::size_t p = 0; p < c.choices.size(); ++p) {
            const auto [top, height] = c.choices[p];
            EXPECT_EQ(layout.boxes[p], at(c.spacing, top, 255, 240)) << p;
            EXPECT_EQ(layout.texts[p], at(textLeft, top, c.itemAreaWidth - 1100, height)) << p;
        }
        EXPECT_EQ((std::tuple{layout.stem, layout.choices, layout.scrollingHeight}),
                  (std::tuple{c.stem, c.container, c.scrollingHeight}));
    }
}

TEST_F(LayoutTest, TheWindowPutsItsControlsWhereTheLayoutSaysAndACaseStudyHidesItsFrame)
{
    for (const bool caseStudy : {false, true}) {
        SCOPED_TRACE(caseStudy ? "case study" : "item");
        ASSERT_TRUE(init({}));
        fixHeights(100);
        window().setCaseStudy(caseStudy);
        show();
        auto& form = window();
        for (const platform::WebBrowser* chrome :
             {&form.brwTitle, &form.brwLeftEdge, &form.brwRightEdge, &form.brwBottom})
            EXPECT_EQ(chrome->Visible(), !caseStudy) << chrome->Name();
        EXPECT_EQ(place(form.brwButtons), caseStudy ? "0,5385 9000x615" : "120,5265 8760x615");
        EXPECT_EQ(seen(), caseStudy
                              ? "0,0 9000x6000 | area 0,0 9000x5385 | box 150,2120 615x255 | 1 layouts, viewed"
                              : "0,0 9000x6000 | area 120,405 8760x4860 | box 150,2120 615x255 | 1 layouts, viewed");
        EXPECT_EQ(place(form.txtChoice[3]), caseStudy ? "790,2120 7900x360" : "790,2120 7660x360");
        EXPECT_EQ(place(form.pcChoicesContainer), caseStudy ? "0,1500 9000x2630" : "0,1500 8760x2630");
        EXPECT_EQ(form.scrItemStem.ScrollingHeight(), 4280);
        EXPECT_EQ(stateValue("ItemStemHeight"), caseStudy ? "5385" : "4860");
        EXPECT_TRUE(item->errors().empty());
    }
}

// ---------------------------------------------------------------------------------------------
// Seeing the whole item

TEST_F(LayoutTest, ScrollingCountsOnceTheAreaBottomAndTenPixelsPassTheEndAndAHandedBackStateKeepsItWithItsExhibitFlag)
{
    // 400 px of stem and choices of 30, 45, 60 and 24 px: 6000 + 2630 + 150 = 8780 twips of
    // content in a 4860-twip area. 4860 + 3770 + 150 = 8780 is not past the end; 3920 is the end
    // itself. The state is handed back before the first layout.
    const std::string scrolled = "<ItemAreaScroll>True</ItemAreaScroll>";
    const std::string buttons = "<Buttons>True</Buttons>";
    const std::tuple<std::string, std::int32_t, bool> cases[] = {
        {"", 0, false},       {"", 3769, false},   {"", 3770, false},
        {"", 3771, true},     {"", 3920, true},    {scrolled + buttons, 0, true},
        {scrolled, 0, false}, {buttons, 0, false}, {"<ItemAreaScroll>False</ItemAreaScroll>" + buttons, 0, false},
    };
    for (const auto& [flags, position, seen] : cases) {
        SCOPED_TRACE(flags + " scrolled to " + std::to_string(position));
        ASSERT_TRUE(init({}));
        fixHeights(400);
        if (!flags.empty())
            item->restore(bytes("<State><Responses/>" + flags + "</State>"));
        show();
        ASSERT_EQ(window().scrItemStem.ScrollingHeight(), 8780);
        scrollTo(position);
        if (flags.empty()) {
            EXPECT_EQ(stateValue("ItemAreaScroll"), seen ? std::optional<std::string>("True") : std::nullopt);
        }
        scrollTo(0);  // never taken back
        EXPECT_EQ(viewedAll(), seen);
        item->display().ResizeExternalDisplay(0, 0, 9000, 6000);
        EXPECT_EQ(viewedAll(), seen);
    }
}

TEST_F(LayoutTest, TheViewingNoticeNamesWhatIsMissingWhereItsMessageAllowsItAndOneThatCannotBeCompletedIsReported)
{
    const std::string mapOnly = R"(<ActiveExhibits><Exhibit ButtonText="Map"/></ActiveExhibits>)";
    struct Case {
        const char* name;
        std::string exhibits;
        std::int32_t stemPixels;  // 50 fits, 400 does not
        Texts messages;
        bool flashing;
        std::optional<std::string> buttons;
        std::vector<std::pair<std::string, std::string>> edits;  // of the bundled static strings
        Texts errors;
        std::int32_t windowHeight = 6000;
    };
    // clang-format off
    const Case cases[] = {
        {"exhibits unopened, not scrolled", kTwoRequiredExhibits, 400,
         {"Please scroll to the end of the question and open the exhibits Map, Table before you go on."}, true, "false"},
        {"exhibits unopened, fits", kTwoRequiredExhibits, 50, {"Please open the exhibits Map, Table before you go on."},
         false, "false"},
        {"exhibits not required, fits", mapOnly, 50, {}, false, "True"},
        {"exhibits not required, not scrolled", mapOnly, 400, {kScrollItem}, true, std::nullopt},
        {"one exhibit unopened, fits", R"(<ActiveExhibits Require="true"><Exhibit ButtonText="Map"/></ActiveExhibits>)",
         50, {"Please open the exhibits Map before you go on."}, false, "false"},
        {"no exhibits, not scrolled", "", 400, {kScrollItem}, true, std::nullopt},
        {"no exhibits, fits", "", 50, {}, false, "True"},
        // 750 twips of stem, 2630 of choices and 150 below them fill an area 1140 twips lower than the window.
        {"no exhibits, fits to the twip", "", 50, {}, false, "True", {}, {}, 4670},
        {"no exhibits, one twip short", "", 50, {kScrollItem}, true, std::nullopt, {}, {}, 4669},
        {"ScrollItem not allowed", "", 400, {}, true, std::nullopt,
         {{R"(<ScrollItem DisplayScrollMsg="True">)", R"(<ScrollItem DisplayScrollMsg="no">)"}}},
        {"ScrollItem allowed in upper case", "", 400, {kScrollItem}, true, std::nullopt,
         {{R"(<ScrollItem DisplayScrollMsg="True">)", R"(<ScrollItem DisplayScrollMsg="TRUE">)"}}},
        {"ScrollBoth without the setting", kTwoRequiredExhibits, 400, {}, true, "false",
         {{R"(<ScrollBoth DisplayScrollMsg="True">)", "<ScrollBoth>"}}},
        {"ScrollButtons without its mark", kTwoRequiredExhibits, 50, {}, false, "false",
         {{"exhibits??before", "exhibits before"}}, {"ViewedAll_Get"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string statics = velm::host::bundledStaticStrings();
        for (const auto& [from, to] : c.edits)
            statics = vb::replaceAll(statics, from, to);
        item = std::make_unique<ItemDriver>(statics.c_str(), supportDir);
        ASSERT_TRUE(item->init(itemXml({.extra = c.exhibits})));
        fixHeights(c.stemPixels);
        show({0, 0, 9000, c.windowHeight});
        const bool viewed = viewedAll();  // asking is what shows the notice
        Texts notices;  // the message boxes other than error reports
        for (const auto& message : item->support->messages()) {
            const bool error = message.text.starts_with("Error: ");
            EXPECT_EQ(message.style, error ? 16 : 0);
            if (!error)
                notices.push_back(message.text);
        }
        EXPECT_EQ(
            (std::tuple{viewed, notices, window().tmflash.Enabled(), stateValue("Buttons"), item->errorRoutines()}),
            (std::tuple{c.buttons == "True", c.messages, c.flashing, c.buttons, c.errors}));
    }
}

}  // namespace
}  // namespace quorin::test
