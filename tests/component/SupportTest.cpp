#include "ItemDriver.h"

#include "support/clsErrorDisplay.h"
#include "support/clsRandomizer.h"
#include "support/modFormFunctions.h"
#include "vb/Trap.h"

#include <algorithm>
#include <numeric>

namespace quorin::test {
namespace {

using modFormFunctions::GetStaticMsg;

// A key directly under Static comes before the same key under ButtonText, so a lookup that
// ignored the section would find the wrong one. The letters and captions are those the item
// window asks for when it loads.
constexpr const char* kStatics = R"(<Root><Language Id="ENU"><Static>
<cmdScroll>Scroll (message)</cmdScroll>
<Keys><Key Id="0" Letter="A"/><Key Id="1" Letter="B"/><Key Id="2" Letter="C"/><Key Id="3" Letter="D"/></Keys>
<ButtonText><cmdScroll>Scroll (button)</cmdScroll><cmdClearAll>Clear</cmdClearAll>
<cmdShowInstruction>Help</cmdShowInstruction><cmdCalculator>Calculator</cmdCalculator></ButtonText>
<NumMaxResponses>Choose at most % answers.</NumMaxResponses>
<Plain>No mark here</Plain>
</Static></Language></Root>)";

TEST(Messages, GetStaticMsgFillsInTheWholeNumberAndFindsTheKeyInItsSection)
{
    ItemDriver item(kStatics);
    ASSERT_TRUE(item.init(itemXml()));
    // key, section, replace, value, text, routine of the error reported ("": none)
    const std::tuple<const char*, const char*, bool, std::int16_t, const char*, const char*> cases[] = {
        {"NumMaxResponses", "", true, 3, "Choose at most 3 answers.", ""},
        {"NumMaxResponses", "", true, 12, "Choose at most 12 answers.", ""},
        {"NumMaxResponses", "", true, 100, "Choose at most 100 answers.", ""},
        {"NumMaxResponses", "", false, 3, "Choose at most % answers.", ""},
        {"cmdScroll", "", false, 0, "Scroll (message)", ""},
        {"cmdScroll", "ButtonText", false, 0, "Scroll (button)", ""},
        {"cmdScroll", "NoSuchSection", false, 0, "Scroll (message)", ""},
        {"NoSuchKey", "ButtonText", false, 0, "", "GetStaticMsg"},
        {"Plain", "", true, 5, "", "String_Replace"},
    };
    for (const auto& [key, section, replace, value, text, routine] : cases) {
        SCOPED_TRACE(std::string(key) + " " + section + " " + std::to_string(value));
        auto routines = item.errorRoutines();
        if (*routine)
            routines.push_back(routine);
        EXPECT_EQ(GetStaticMsg(*item.component, key, replace, value, section), text);
        EXPECT_EQ(item.errorRoutines(), routines);
    }
    EXPECT_EQ((std::tuple{item.errors()[0].number, item.errors()[0].text}),
              (std::tuple{static_cast<std::int32_t>(0x8004000Au), "Static node not found, NoSuchKey"}));
}

TEST(Messages, ErrorsInARowAreShownEachUnderItsRoutineByTheInstanceThatRaisedThem)
{
    ItemDriver english({.language = "ENU"});
    ItemDriver german({.language = "DEU"});
    EXPECT_FALSE(vb::trap(german.component->goErrorDisplay.get(), "FirstRoutine",
                          [] { throw vb::ComError(1234, "", "Elsewhere", 42); }));
    vb::ByteArray empty;
    EXPECT_FALSE(german.display().GetResponse(0, empty, 10));
    EXPECT_TRUE(english.support->messages().empty());
    english.display().GetExternalStateArray(empty, 10);

    const auto errors = german.errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ((std::tuple{errors[0].number, errors[0].text, errors[0].module, errors[0].routine, errors[0].line}),
              (std::tuple{1234, "", "QuorinMultipleChoice", "FirstRoutine", 42}));
    EXPECT_EQ((std::tuple{errors[1].number, errors[1].routine}),
              (std::tuple{vb::err::kSubscriptOutOfRange, "GetResponse"}));
    Texts boxes;
    for (const auto& box : german.support->messages())
        boxes.push_back(std::to_string(box.style) + " " + box.title + ": " + box.text);
    EXPECT_EQ(boxes, (Texts{"16 Quorin Prüfung: Error: Description - .  Number - 1234  Source - Elsewhere  Routine - "
                            "FirstRoutine  LineNumber - 42",
                            "16 Quorin Prüfung: Error: Description - Subscript out of range.  Number - 9  Source - "
                            "QuorinMultipleChoice  Routine - "
                            "GetResponse  LineNumber - 0"}));
    EXPECT_EQ(english.errorRoutines(), Texts{"GetExternalStateArray"});
    ASSERT_EQ(english.support->messages().size(), 1u);
    EXPECT_EQ(english.support->messages()[0].title, "Quorin Examination");
    EXPECT_EQ(GetStaticMsg(*english.component, "cmdClearAll", false, 0, "ButtonText"), "Clear All");
}

// Whether the next n numbers are 1 to n, each once, and the deal then gives 0.
bool dealsOneToNThenZero(clsRandomizer& randomizer, int n)
{
    std::vector<std::int16_t> numbers(static_cast<std::size_t>(n));
    std::generate(numbers.begin(), numbers.end(), [&] { return randomizer.GetNext(); });
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::int16_t> expected(numbers.size());
    std::iota(expected.begin(), expected.end(), std::int16_t{1});
    return numbers == expected && randomizer.GetNext() == 0 && randomizer.GetNext() == 0;
}

TEST(Randomizer, DealsEachOfOneToNOnceThenZeroAndAfreshWhenTheDomainIsSetAgain)
{
    EXPECT_EQ(clsRandomizer().GetNext(), 0);
    for (const std::int16_t n : {-1, 0, 1, 7, 32767}) {
        clsRandomizer randomizer;
        randomizer.setDomainCount(n);
        EXPECT_TRUE(dealsOneToNThenZero(randomizer, std::max<int>(n, 0))) << n;
    }
    clsRandomizer randomizer;
    randomizer.setDomainCount(5);
    randomizer.GetNext();
    randomizer.setDomainCount(3);
    EXPECT_TRUE(dealsOneToNThenZero(randomizer, 3));
}

}  // namespace
}  // namespace quorin::test
