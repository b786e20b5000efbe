#include "ItemWindowTesting.h"

#include <set>

namespace quorin::test {
namespace {

using SelectionTest = ItemWindowTest;

constexpr std::int32_t kReadOnlyOption = 1;
constexpr std::int32_t kShowAnswersOption = 16;
constexpr std::int32_t kCancel = 2;
const std::string kMaxMessage =
    "You may choose no more than 2 answers. Clear one of your answers before you choose another.";
const std::string kClearAllQuestion = "Do you want to clear every answer you have chosen for this question?";

class Candidate : public SelectionTest {
protected:
    // The three ways of choosing position p: its control, its text, its letter.
    enum class Way { Control, Text, Letter };
    void choose(Way way, std::int16_t p)
    {
        switch (way) {
        case Way::Control: click(p); break;
        case Way::Text: clickText(p); break;
        case Way::Letter: type(static_cast<char>('a' + p)); break;
        }
    }
    void pressButton(const std::string& id)
    {
        auto event = platform::HtmlEvent::click(id);
        window().brwButtons.fireEvent(event);
        loop.runUntilIdle();
    }
    // The responses as a set, with a check that none is recorded twice.
    std::set<std::string> recorded() const
    {
        const auto list = responses();
        std::set<std::string> unique(list.begin(), list.end());
        EXPECT_EQ(unique.size(), list.size()) << item->state();
        return unique;
    }
};

TEST_F(Candidate, ChoosingTheSelectedOptionAgainByControlTextOrLetterLeavesTheItemUnanswered)
{
    for (const auto way : {Way::Control, Way::Text, Way::Letter}) {
        SCOPED_TRACE(static_cast<int>(way));
        open({.max = "1"});
        choose(way, 1);
        EXPECT_EQ(selected(), "B");
        EXPECT_EQ(responses(), Texts{"B"});
        choose(way, 3);
        EXPECT_EQ(selected(), "D");
        EXPECT_EQ(responses(), Texts{"D"});
        choose(way, 3);
        EXPECT_EQ(selected(), "");
        EXPECT_EQ(responses(), Texts{});
        EXPECT_EQ(item->status(), 2);  // nothing answered
    }
}

TEST_F(Candidate, ATwoAnswerItemRefusesAThirdChoiceWithTheMaximumMessageHoweverItIsChosen)
{
    for (const auto way : {Way::Control, Way::Text, Way::Letter}) {
        SCOPED_TRACE(static_cast<int>(way));
        open({});
        choose(way, 0);
        choose(way, 2);
        choose(way, 3);
        EXPECT_EQ(selected(), "AC");
        EXPECT_EQ(responses(), (Texts{"A", "C"}));
        ASSERT_EQ(messages(), Texts{kMaxMessage});
        EXPECT_EQ(item->support->messages().back().style, 0);
        choose(way, 0);
        choose(way, 3);
        EXPECT_EQ(selected(), "CD");
        EXPECT_EQ(responses(), (Texts{"C", "D"}));
        EXPECT_EQ(messages().size(), 1u);
    }
}

TEST_F(Candidate, LettersInEitherCaseToggleTheirChoiceAndOtherKeysDoNothing)
{
    // Max, the keys typed, the letters selected afterwards
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"2", "b", "B"}, {"2", "bB", ""}, {"2", "Bd", "BD"}, {"2", "z1 ", ""},
        {"1", "B", "B"}, {"1", "bb", ""}, {"1", "bD", "D"},  {"1", "x", ""},
    };
    for (const auto& [max, keys, letters] : cases) {
        SCOPED_TRACE(std::string(max) + " " + keys);
        open({.max = max});
        for (const char key : keys)
            type(key);
        EXPECT_EQ(selected(), letters);
        EXPECT_EQ(responses().size(), letters.size());
    }
}

TEST_F(Candidate, CheckingAndUncheckingInAnyOrderKeepsOneResponsePerCheckedBox)
{
    const std::vector<std::int16_t> sequences[] = {
        {1, 2, 1}, {0, 0, 0}, {3, 2, 1, 0, 1, 2}, {0, 1, 0, 1, 0, 1}, {2, 2, 3, 3, 2},
    };
    for (const auto& clicks : sequences) {
        open({.max = "4"});
        for (const auto p : clicks) {
            click(p);
            std::set<std::string> checked;
            for (const char letter : selected())
                checked.insert(std::string(1, letter));
            ASSERT_EQ(recorded(), checked);
        }
    }
}

TEST_F(Candidate, SetAnswersSelectsTheKeyedChoicesOfAnAndOnlyExpression)
{
    open({}, kShowAnswersOption);
    click(1);
    pressButton("btnSetAnswers");
    EXPECT_EQ(selected(), "AC");
    EXPECT_EQ(responses(), (Texts{"A", "C"}));
    EXPECT_TRUE(messages().empty());
}

TEST_F(Candidate, ClearAllAsksFirstAndCancelChangesNothing)
{
    open({});
    click(0);
    click(2);
    item->support->setPolicyAnswer(kCancel);
    pressButton("btnReset");
    EXPECT_EQ(messages(), Texts{kClearAllQuestion});
    EXPECT_EQ(item->support->messages().back().style, 1);
    EXPECT_EQ(selected(), "AC");
    EXPECT_EQ(responses(), (Texts{"A", "C"}));

    item->support->setPolicyAnswer(1);
    pressButton("btnReset");
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(responses(), Texts{});
    click(3);  // the count went down with the boxes: two more may be chosen
    click(1);
    EXPECT_EQ(selected(), "BD");
}

TEST_F(Candidate, ClearAllAfterSetAnswersOnASingleAnswerItemLeavesNoResponse)
{
    // Set Answers records every keyed identifier, though one option shows; clearing must clear them all.
    open({.max = "1"}, kShowAnswersOption);
    pressButton("btnSetAnswers");
    EXPECT_EQ(selected(), "C");
    EXPECT_EQ(responses(), (Texts{"A", "C"}));
    pressButton("btnReset");
    EXPECT_EQ(selected(), "");
    EXPECT_EQ(responses(), Texts{});
    EXPECT_EQ(item->status(), 2);  // nothing answered
}

TEST_F(Candidate, AReadOnlyItemIgnoresClicksTextsLettersAndClearAll)
{
    const std::string answered = "<State><Responses><Response>B</Response></Responses></State>";
    for (const auto& max : {"1", "2"}) {
        SCOPED_TRACE(max);
        open({.max = max}, kReadOnlyOption);
        item->restore(bytes(answered));
        loop.runUntilIdle();
        ASSERT_EQ(selected(), "B");
        click(0);
        clickText(2);
        type('d');
        type('b');
        pressButton("btnReset");
        EXPECT_EQ(selected(), "B");
        EXPECT_EQ(responses(), Texts{"B"});
        EXPECT_TRUE(messages().empty());
        for (std::int16_t p = 0; p < positions(); ++p)
            EXPECT_FALSE(answerControl(p).Enabled());
    }
}

TEST_F(Candidate, UncheckingAnIdentifierNeverRemovesAnotherThatContainsIt)
{
    // With substring matching, unchecking A (or refusing A over the limit) would drop BA.
    open({.choices = 3, .ids = {"A", "BA", "C"}});
    click(1);
    click(0);
    click(0);
    EXPECT_EQ(responses(), Texts{"BA"});
    click(2);
    click(0);  // a third answer: refused
    EXPECT_EQ(selected(), "BC");
    EXPECT_EQ(responses(), (Texts{"BA", "C"}));
}

}  // namespace
}  // namespace quorin::test
