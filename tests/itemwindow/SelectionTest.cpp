#include "ItemWindowTesting.h"

namespace quorin::test {
namespace {

using SelectionTest = ItemWindowTest;

constexpr std::int32_t kReadOnlyOption = 1;
constexpr std::int32_t kShowAnswersOption = 16;
constexpr std::int32_t kCancel = 2;
const std::string kMax = "You may choose no more than 2 answers. Clear one of your answers before you choose another.";
const std::string kClearAll = "Do you want to clear every answer you have chosen for this question?";
const std::string kAndOnly = R"(<Answer Weight="1">A AND C AND ONLY</Answer>)";

struct Case {
    ItemParts item;
    std::int32_t options;
    std::string state;  // handed back before the candidate acts; empty: none
    // Two characters per step, one blank between: c (control), t (text) or k (key) with the
    // position's digit or the key typed; S. (Set Answers); R. or Rx (Clear All, confirmed or cancelled).
    std::string steps;
    std::string selected;
    std::string responses;  // as the driver reads them
    Texts messages;
};

TEST_F(SelectionTest, TheCandidatesClicksTextsKeysAndButtonsLeaveTheSelectionAndTheResponses)
{
    const std::string answeredB = "<State><Responses><Response>B</Response></Responses></State>";
    const Case cases[] = {
        // One answer: another choice replaces it, choosing it again clears it, however it is chosen.
        {{.max = "1"}, 0, "", "c1 c3", "D", "D", {}},
        {{.max = "1"}, 0, "", "c1 c3 c3", "", "", {}},
        {{.max = "1"}, 0, "", "t1 t3 t3", "", "", {}},
        {{.max = "1"}, 0, "", "kb kd kd", "", "", {}},
        {{.max = "1"}, 0, "", "kB", "B", "B", {}},
        {{.max = "1"}, 0, "", "kb kD", "D", "D", {}},
        {{.max = "1"}, 0, "", "kx", "", "", {}},
        // Two answers: a third is refused with the message, whichever way it is chosen.
        {{}, 0, "", "c0 c2 c3", "AC", "A, C", {kMax}},
        {{}, 0, "", "c0 c2 c3 c0 c3", "CD", "C, D", {kMax}},
        {{}, 0, "", "t0 t2 t3 t0 t3", "CD", "C, D", {kMax}},
        {{}, 0, "", "ka kc kd ka kd", "CD", "C, D", {kMax}},
        {{}, 0, "", "kb kB", "", "", {}},
        {{}, 0, "", "kB kd", "BD", "B, D", {}},
        {{}, 0, "", "kz k1 k ", "", "", {}},
        // Checking and unchecking in any order keeps one response per checked box.
        {{.max = "4"}, 0, "", "c3 c2 c1 c0 c1 c2", "AD", "D, A", {}},
        {{.max = "4"}, 0, "", "c0 c1 c0 c1 c0 c1", "AB", "A, B", {}},
        {{.max = "4"}, 0, "", "c2 c2 c3 c3 c2", "C", "C", {}},
        // Set Answers selects the choices the key names; on a one-answer item it records them all,
        // and Clear All clears them all.
        {{.answers = kAndOnly}, kShowAnswersOption, "", "c1 S.", "AC", "A, C", {}},
        {{.max = "1", .answers = kAndOnly}, kShowAnswersOption, "", "S.", "C", "A, C", {}},
        {{.max = "1", .answers = kAndOnly}, kShowAnswersOption, "", "S. R.", "", "", {kClearAll}},
        // Clear All asks first; cancelled it changes nothing, confirmed it frees both answers.
        {{}, 0, "", "c0 c2 Rx", "AC", "A, C", {kClearAll}},
        {{}, 0, "", "c0 c2 Rx R. c3 c1", "BD", "D, B", {kClearAll, kClearAll}},
        // A read-only item ignores every way of choosing and clearing.
        {{.max = "1"}, kReadOnlyOption, answeredB, "c0 t2 kd kb R.", "B", "B", {}},
        {{}, kReadOnlyOption, answeredB, "c0 t2 kd kb R.", "B", "B", {}},
        // Unchecking or refusing A never removes BA, which contains it.
        {{.choices = 3, .ids = {"A", "BA", "C"}}, 0, "", "c1 c0 c0", "B", "BA", {}},
        {{.choices = 3, .ids = {"A", "BA", "C"}}, 0, "", "c1 c2 c0", "BC", "BA, C", {kMax}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Max " + c.item.max + ", options " + std::to_string(c.options) + ": " + c.steps);
        open(c.item, c.options);
        if (!c.state.empty()) {
            item->restore(bytes(c.state));
            loop.runUntilIdle();
        }
        for (std::size_t at = 0; at + 1 < c.steps.size(); at += 3) {
            const char what = c.steps[at];
            const char arg = c.steps[at + 1];
            const auto position = static_cast<std::int16_t>(arg - '0');
            if (what == 'c')
                click(position);
            else if (what == 't')
                clickText(position);
            else if (what == 'k')
                type(arg);
            else {
                item->support->setPolicyAnswer(arg == 'x' ? kCancel : 1);
                pressButton(what == 'S' ? "btnSetAnswers" : "btnReset");
            }
        }
        EXPECT_EQ((std::tuple{selected(), item->response(1), messages()}),
                  (std::tuple{c.selected, c.responses, c.messages}));
        for (const auto& message : item->support->messages())
            EXPECT_EQ(message.style, message.text == kClearAll ? 1 : 0);
        EXPECT_EQ(item->status() == 2, c.responses.empty());  // 2: nothing answered
        for (std::int16_t p = 0; p < positions(); ++p)
            EXPECT_EQ(answerControl(p).Enabled(), c.options != kReadOnlyOption);
    }
}

}  // namespace
}  // namespace quorin::test
