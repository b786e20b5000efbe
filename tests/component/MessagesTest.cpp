#include "ComponentFixture.h"

#include "support/clsErrorDisplay.h"
#include "support/modFormFunctions.h"
#include "vb/Trap.h"
#include "velm/DataIO.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorin::test {
namespace {

using Texts = std::vector<std::string>;

const std::int32_t kStaticInformationError = static_cast<std::int32_t>(0x8004000Au);

// A key directly under Static comes before the same key under ButtonText, so a lookup that
// ignored the section would find the wrong one.
constexpr const char* kStatics = R"(<Root><Language Id="ENU" Font="Tahoma"><Static>
<ApplicationTitle>Test Title</ApplicationTitle>
<Keys><Key Id="0" Letter="A"/><Key Id="1" Letter="B"/><Key Id="1" Letter="Z"/></Keys>
<cmdScroll>Scroll (message)</cmdScroll>
<ButtonText><cmdScroll>Scroll (button)</cmdScroll></ButtonText>
<NumMaxResponses>Choose at most % answers.</NumMaxResponses>
<Plain>No mark here</Plain>
</Static></Language>
<Language Id="NOK"><Static><ApplicationTitle>Without keys</ApplicationTitle></Static></Language>
</Root>)";

class Messages : public ComponentFixture {
protected:
    Messages() : ComponentFixture(kStatics) {}
};

TEST_F(Messages, GetStaticMsgFindsTheKeyFillsInTheNumberAndRestoresFromRoot)
{
    ASSERT_TRUE(driver.init(itemXml()));
    struct Case {
        const char* key;
        bool replace;
        std::int16_t value;
        const char* section;
        const char* text;
        const char* errorRoutine;
        const char* errorText;
    };
    const Case cases[] = {
        {"NumMaxResponses", true, 3, "", "Choose at most 3 answers.", nullptr, nullptr},
        {"NumMaxResponses", true, 12, "", "Choose at most 12 answers.", nullptr, nullptr},
        {"NumMaxResponses", true, 100, "", "Choose at most 100 answers.", nullptr, nullptr},
        {"NumMaxResponses", true, 32767, "", "Choose at most 32767 answers.", nullptr, nullptr},
        {"NumMaxResponses", true, -7, "", "Choose at most -7 answers.", nullptr, nullptr},
        {"NumMaxResponses", false, 3, "", "Choose at most % answers.", nullptr, nullptr},
        {"cmdScroll", false, 0, "", "Scroll (message)", nullptr, nullptr},
        {"cmdScroll", false, 0, "ButtonText", "Scroll (button)", nullptr, nullptr},
        {"cmdScroll", false, 0, "NoSuchSection", "Scroll (message)", nullptr, nullptr},
        {"NoSuchKey", false, 0, "", "", "GetStaticMsg", "Static node not found, NoSuchKey"},
        {"NoSuchKey", false, 0, "ButtonText", "", "GetStaticMsg", "Static node not found, NoSuchKey"},
        {"Plain", true, 5, "", "", "String_Replace", nullptr},
    };
    auto& data = component.ItemData();
    for (const auto& c : cases) {
        for (const bool fromRoot : {false, true}) {
            SCOPED_TRACE(std::string(c.key) + " " + c.section + " " + std::to_string(c.value));
            const auto errorsBefore = driver.errors().size();
            data.setFromRoot(fromRoot);
            EXPECT_EQ(modFormFunctions::GetStaticMsg(component, c.key, c.replace, c.value, c.section), c.text);
            EXPECT_EQ(data.FromRoot(), fromRoot);
            const auto errors = driver.errors();
            ASSERT_EQ(errors.size(), errorsBefore + (c.errorRoutine ? 1 : 0));
            if (!c.errorRoutine)
                continue;
            EXPECT_EQ(errors.back().routine, c.errorRoutine);
            if (c.errorText) {
                EXPECT_EQ(errors.back().number, kStaticInformationError);
                EXPECT_EQ(errors.back().text, c.errorText);
            }
        }
    }
}

TEST_F(Messages, GetStaticLetterTakesTheLastMatchingKey)
{
    ASSERT_TRUE(driver.init(itemXml()));
    const std::pair<std::int32_t, const char*> cases[] = {{0, "A"}, {1, "Z"}, {2, ""}, {-1, ""}};
    for (const auto& [index, letter] : cases) {
        SCOPED_TRACE(index);
        component.ItemData().setFromRoot(false);
        EXPECT_EQ(modFormFunctions::GetStaticLetter(index, component), letter);
        EXPECT_TRUE(component.ItemData().FromRoot());
    }
    EXPECT_TRUE(driver.errors().empty());

    ItemDriver withoutKeys(kStatics);
    ASSERT_TRUE(withoutKeys.init(itemXml({.language = "NOK"})));
    EXPECT_EQ(modFormFunctions::GetStaticLetter(0, withoutKeys.component()), "");
    ASSERT_EQ(withoutKeys.errors().size(), 1u);
    EXPECT_EQ(withoutKeys.errors()[0].number, kStaticInformationError);
    EXPECT_EQ(withoutKeys.errors()[0].text, "Static node not found, Keys");
    EXPECT_EQ(withoutKeys.errors()[0].routine, "GetStaticLetter");
}

TEST_F(Messages, ShowMsgAsksTheDriverAndRaisesWhenItHasNoMessageFunction)
{
    ASSERT_TRUE(driver.init(itemXml()));
    support.scriptAnswers({2});
    EXPECT_EQ(modFormFunctions::ShowMsg(component, "Clear every answer?", 33), 2);
    ASSERT_EQ(support.messages().size(), 1u);
    EXPECT_EQ(support.messages()[0].text, "Clear every answer?");
    EXPECT_EQ(support.messages()[0].style, 33);
    EXPECT_EQ(support.messages()[0].title, "Test Title");

    support.setPolicyAnswer(velm::host::SupportObject::kNoMessageFunction);
    const auto raised = failureOf([&] { modFormFunctions::ShowMsg(component, "Anyone there?", 0); });
    ASSERT_TRUE(raised.has_value());
    EXPECT_EQ(raised->number, kStaticInformationError);
    EXPECT_EQ(raised->description, "Message Function not available");

    // The caller's trap logs the error; showing it needs the message function again, so the
    // driver's call fails.
    const auto failed = failureOf([&] {
        vb::trap(component.goErrorDisplay.get(), "cmdClearAll_Click",
                 [&] { modFormFunctions::ShowMsg(component, "Clear every answer?", 1); });
    });
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(failed->number, kStaticInformationError);
    const auto errors = driver.errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, kStaticInformationError);
    EXPECT_EQ(errors[0].text, "Message Function not available");
    EXPECT_EQ(errors[0].routine, "cmdClearAll_Click");
}

TEST_F(Messages, TwoErrorsInARowAreLoggedAndShownEachUnderItsRoutine)
{
    ASSERT_TRUE(driver.init(itemXml()));
    EXPECT_FALSE(vb::trap(component.goErrorDisplay.get(), "FirstRoutine", [] { throw vb::ComError(1234, "", "Elsewhere", 42); }));
    vb::ByteArray empty;
    EXPECT_FALSE(driver.display().GetResponse(0, empty, 10));

    const auto errors = driver.errors();
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].number, 1234);
    EXPECT_EQ(errors[0].text, "");
    EXPECT_EQ(errors[0].module, "QuorinMultipleChoice");
    EXPECT_EQ(errors[0].routine, "FirstRoutine");
    EXPECT_EQ(errors[0].line, 42);
    EXPECT_EQ(errors[1].number, vb::err::kSubscriptOutOfRange);
    EXPECT_EQ(errors[1].routine, "GetResponse");
    const auto& boxes = support.messages();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Error: Description - .  Number - 1234  Source - Elsewhere"
                             "  Routine - FirstRoutine  LineNumber - 42");
    EXPECT_EQ(boxes[1].text, "Error: Description - Subscript out of range.  Number - 9"
                             "  Source - QuorinMultipleChoice  Routine - GetResponse  LineNumber - 0");
    for (const auto& box : boxes) {
        EXPECT_EQ(box.style, 16);
        EXPECT_EQ(box.title, "Test Title");
    }
}

TEST_F(Messages, TwoInstancesKeepTheirOwnTitleAndErrorDisplay)
{
    ItemDriver english;
    ItemDriver german;
    ASSERT_TRUE(english.init(itemXml({.language = "ENU"})));
    ASSERT_TRUE(german.init(itemXml({.language = "DEU"})));
    EXPECT_NE(english.component().goErrorDisplay, german.component().goErrorDisplay);

    vb::ByteArray empty;
    german.display().GetExternalStateArray(empty, 10);
    EXPECT_TRUE(english.support().messages().empty());
    ASSERT_EQ(german.support().messages().size(), 1u);
    EXPECT_EQ(german.support().messages()[0].title, "Quorin Prüfung");

    english.display().GetExternalStateArray(empty, 10);
    ASSERT_EQ(english.support().messages().size(), 1u);
    EXPECT_EQ(english.support().messages()[0].title, "Quorin Examination");
    EXPECT_EQ(german.support().messages().size(), 1u);
    EXPECT_EQ(modFormFunctions::GetStaticMsg(english.component(), "cmdClearAll", false, 0, "ButtonText"), "Clear All");
    EXPECT_EQ(english.errors().size(), 1u);
    EXPECT_EQ(german.errors().size(), 1u);
}

}  // namespace
}  // namespace quorin::test
