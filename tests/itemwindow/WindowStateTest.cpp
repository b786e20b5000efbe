#include "ItemWindowTesting.h"

#include "vb/Strings.h"

namespace quorin::test {
namespace {

using WindowStateTest = ItemWindowTest;

constexpr int kStemPixels = 500;  // 7,500 twips: taller than the item area of a 9000 x 6000 window

std::string orderXml(const std::string& tags)
{
    std::string xml = "<RandomOrder>";
    for (std::size_t i = 0; i < tags.size(); ++i)
        xml += "<Position Index=\"" + std::to_string(i) + "\" Tag=\"" + tags[i] + "\"/>";
    return xml + "</RandomOrder>";
}

TEST_F(WindowStateTest, ChoosingCInARandomItemShownAsBDACAndScrollingToTheEndStoresTheOrderOnceWithTheAnswer)
{
    for (int draw = 0; draw < 2000 && (!item || order() != "BDAC"); ++draw)
        ASSERT_TRUE(init({.randomOrder = "true"}));
    ASSERT_EQ(order(), "BDAC");
    engine->fixHeight(window().txtItemStem, kStemPixels);
    show();
    click(3);
    window().scrItemStem.scrollToEnd();
    loop.runUntilIdle();

    // The borderless window's item area is 6000 - (405 + 615 + 120) = 4860 twips high; the layout records it.
    EXPECT_EQ(item->state(),
              "<State><Responses><Response>C</Response></Responses>" + orderXml("BDAC")
                  + "<ItemStemHeight>4860</ItemStemHeight><ItemAreaScroll>True</ItemAreaScroll></State>");
}

TEST_F(WindowStateTest, ARandomItemLeftAndShownAgainShowsTheSameTextUnderEachLetterAndTheSameAnswers)
{
    for (int visit = 0; visit < 5; ++visit) {
        SCOPED_TRACE("visit " + std::to_string(visit));
        open({.randomOrder = "true"});
        click(0);
        click(3);
        const auto firstOrder = order();
        const auto firstSelection = selected();
        Texts firstTexts;
        for (std::int16_t p = 0; p < 4; ++p)
            firstTexts.push_back(window().txtChoice[p].html());
        const auto saved = item->savedState();
        const auto state = item->state();
        item->display().FreeExternalDisplay();

        open({.randomOrder = "true"});
        item->restore(saved);
        loop.runUntilIdle();
        EXPECT_EQ((std::tuple{order(), selected()}), (std::tuple{firstOrder, firstSelection}));
        for (std::int16_t p = 0; p < 4; ++p)
            EXPECT_EQ(window().txtChoice[p].html(), firstTexts[static_cast<std::size_t>(p)]);
        // Handed back, the state records that the item fitted.
        EXPECT_EQ(
            (std::tuple{item->state(), item->errors().empty()}),
            (std::tuple{vb::replaceAll(state, "</State>", "<ItemAreaScroll>True</ItemAreaScroll></State>"), true}));
    }
}

TEST_F(WindowStateTest, AReturningStateGetsTheCurrentOrderWhenItHasNoneAndAlwaysItsScrollFlag)
{
    // The flag the returning state holds, what follows its responses once loaded. The stem is too
    // tall to fit, so the item area was not seen whole before the state came back.
    const std::pair<std::string, std::string> cases[] = {
        {"", "{order}<ItemAreaScroll>False</ItemAreaScroll>"},
        {"<ItemAreaScroll>true</ItemAreaScroll>", "<ItemAreaScroll>True</ItemAreaScroll>{order}"},
    };
    const std::string answeredB = "<State><Responses><Response>B</Response></Responses>";
    for (const auto& [flag, kept] : cases) {
        ASSERT_TRUE(init({.randomOrder = "true"}));
        engine->fixHeight(window().txtItemStem, kStemPixels);
        show();
        item->restore(bytes(answeredB + flag + "</State>"));
        loop.runUntilIdle();
        EXPECT_EQ(item->state(), answeredB + vb::replaceAll(kept, "{order}", orderXml(order())) + "</State>");
        EXPECT_EQ(selected(), std::string(1, static_cast<char>('A' + order().find('B'))));
    }
}

TEST_F(WindowStateTest, AStoredOrderThatDoesNotFitTheItemIsReportedAndNeverReachesPastTheControls)
{
    // the stored positions, the order shown afterwards (tags set before the bad one stay)
    const std::pair<std::string, std::string> cases[] = {
        {R"(<Position Index="0" Tag="D"/><Position Index="7" Tag="A"/>)", "DBCD"},
        {R"(<Position Index="-1" Tag="C"/>)", "ABCD"},
        {R"(<Position Index="4" Tag="C"/>)", "ABCD"},
        {R"(<Position Index="x" Tag="C"/>)", "ABCD"},
    };
    for (const auto& [positions, shown] : cases) {
        SCOPED_TRACE(positions);
        open({});
        item->restore(bytes("<State><Responses/><RandomOrder>" + positions + "</RandomOrder></State>"));
        loop.runUntilIdle();
        EXPECT_EQ(order(), shown);
        ASSERT_EQ(item->errorRoutines(), Texts{"ReadStateOrder"});
        click(1);
        EXPECT_EQ(item->response(1), "B");
    }
}

}  // namespace
}  // namespace quorin::test
