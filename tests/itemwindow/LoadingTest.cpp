#include "ItemWindowTesting.h"

#include <map>

namespace quorin::test {
namespace {

using LoadingTest = ItemWindowTest;

TEST_F(LoadingTest, OptionButtonsExactlyWhenMaxIsOneAndEveryPositionGetsItsLetterTagAndText)
{
    // Max, number of choices, whether option buttons are used
    const std::tuple<const char*, int, bool> cases[] = {
        {"1", 1, true}, {"1", 4, true}, {"2", 4, false}, {"0", 3, false}, {"9", 2, false},
    };
    for (const auto& [max, choices, options] : cases) {
        SCOPED_TRACE(std::string("Max ") + max + ", " + std::to_string(choices) + " choices");
        open({.choices = choices, .max = max});
        auto& form = window();
        // The other kind of answer control keeps only its blank first one.
        EXPECT_EQ((std::tuple{single(), form.txtChoice.count(), options ? form.chkBox.count() : form.optnBox.count(),
                              options ? form.chkBox[0].Caption() : form.optnBox[0].Caption()}),
                  (std::tuple{options, choices, 1, ""}));
        for (std::int16_t p = 0; p < choices; ++p) {
            const std::string letter(1, static_cast<char>('A' + p));
            const auto& control = answerControl(p);
            EXPECT_EQ(
                (std::tuple{control.Caption(), control.Tag(), control.Visible(), form.txtChoice[p].html(),
                            form.txtChoice[p].BodyMargin()}),
                (std::tuple{letter + ".", letter, true, "<html><body>Choice " + letter + "</body></html>", "3px"}));
        }
        EXPECT_EQ(form.txtItemStem.BodyMargin(), "5px");
    }
}

TEST_F(LoadingTest, AShuffledItemKeepsTheLettersByPositionAndShowsEveryChoiceAtEveryPositionAboutEquallyOften)
{
    constexpr int kDraws = 400;
    std::map<std::pair<std::int16_t, std::string>, int> seen;
    for (int draw = 0; draw < kDraws; ++draw) {
        ASSERT_TRUE(init({.randomOrder = "true"}));
        for (std::int16_t p = 0; p < 4; ++p) {
            const auto& tag = answerControl(p).Tag();
            ++seen[{p, tag}];
            ASSERT_EQ(answerControl(p).Caption(), std::string(1, static_cast<char>('A' + p)) + ".");
            ASSERT_EQ(window().txtChoice[p].html(), "<html><body>Choice " + tag + "</body></html>");
        }
    }
    // Each count is binomial (400, 1/4): mean 100, deviation 8.7; a fair shuffle leaves this band
    // with a probability below one in a million.
    ASSERT_EQ(seen.size(), 16u);
    for (const auto& [where, count] : seen) {
        EXPECT_GT(count, 55) << "position " << where.first << " shows " << where.second;
        EXPECT_LT(count, 145) << "position " << where.first << " shows " << where.second;
    }
}

TEST_F(LoadingTest, TextsThatDoNotOpenWithLowerCaseHtmlStayEmptyAndTheWindowStillLaysOut)
{
    open({.choices = 4,
          .stem = "<HTML><body>Shouting stem</body></HTML>",
          .texts = {" <html>blank first</html>", "<Html>mixed</Html>", "<html>shown</html>", "plain text"}});
    auto& form = window();
    const Texts shown = {form.txtChoice[0].html(), form.txtChoice[1].html(), form.txtChoice[2].html(),
                         form.txtChoice[3].html()};
    EXPECT_EQ((std::tuple{form.txtItemStem.loadCount(), shown, form.scrItemStem.Visible(), form.Width(),
                          item->errors().empty()}),
              (std::tuple{0u, Texts{"", "", "<html>shown</html>", ""}, true, 9000.0f, true}));
}

}  // namespace
}  // namespace quorin::test
