#include "ComponentFixture.h"

#include "itemwindow/frmMain.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quorin::test {
namespace {

using Texts = std::vector<std::string>;

constexpr std::uint8_t kUntouched = 0xEE;

vb::ByteArray concat(vb::ByteArray head, const vb::ByteArray& tail)
{
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

using StateExchange = ComponentFixture;

TEST_F(StateExchange, StateBytesCountTheTextAndTheUnwrittenMarker)
{
    const std::string state = "<State><Responses/><P>123456</P></State>";
    ASSERT_EQ(state.size(), 40u);
    ASSERT_TRUE(driver.init(itemXml()));
    driver.restore(state);
    int setStates = 0;
    const auto connection = component.SetState.connect([&] { ++setStates; });
    auto& display = driver.display();

    EXPECT_EQ(display.GetExternalStateBytes(), 92);
    EXPECT_EQ(setStates, 1);

    vb::ByteArray whole(92, kUntouched);
    display.GetExternalStateArray(whole, 92);
    EXPECT_EQ(whole, concat(bytes(state), vb::ByteArray(12, kUntouched)));

    vb::ByteArray first(92, kUntouched);
    display.GetExternalStateArray(first, 10);
    EXPECT_EQ(first, concat(bytes(state.substr(0, 5)), vb::ByteArray(82, kUntouched)));
    EXPECT_EQ(setStates, 1);

    const std::string wide = stateWith({"Prüfung😀", "C"});
    driver.restore(wide);
    EXPECT_EQ(display.GetExternalStateBytes(), static_cast<std::int32_t>(bytes(wide).size()) + 12);
    EXPECT_EQ(driver.state(), wide);
    EXPECT_TRUE(driver.errors().empty());
}

TEST_F(StateExchange, CopyingNeverWritesPastTheCallersArray)
{
    const std::string response = "<Responses><Response>A</Response><Response>C</Response></Responses>";
    const std::string state = "<State>" + response + "</State>";
    ASSERT_TRUE(driver.init(itemXml({.responseType = "N"})));
    driver.restore(state);
    struct Case {
        std::size_t arraySize;
        std::int32_t limit;
        std::size_t responseCopied;
        std::size_t stateCopied;
    };
    const Case cases[] = {
        {4, 200, 4, 4}, {100, 9, 9, 9}, {100, 0, 0, 0}, {100, -5, 0, 0}, {200, 1000, 134, 164}, {1, 1, 1, 1},
    };
    // The caller's array as it must look: the first bytes of text, the rest untouched.
    const auto filled = [](const std::string& text, std::size_t copied, std::size_t size) {
        auto expected = bytes(text);
        expected.resize(copied);
        expected.resize(size, kUntouched);
        return expected;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.arraySize) + " bytes, limit " + std::to_string(c.limit));
        vb::ByteArray array(c.arraySize, kUntouched);
        EXPECT_TRUE(driver.display().GetResponse(1, array, c.limit));
        EXPECT_EQ(array, filled(response, c.responseCopied, c.arraySize));
        vb::ByteArray stateArray(c.arraySize, kUntouched);
        driver.display().GetExternalStateArray(stateArray, c.limit);
        EXPECT_EQ(stateArray, filled(state, c.stateCopied, c.arraySize));
    }
    EXPECT_TRUE(driver.errors().empty());

    vb::ByteArray empty;
    EXPECT_FALSE(driver.display().GetResponse(1, empty, 100));
    driver.display().GetExternalStateArray(empty, 100);
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(driver.errorRoutines(), (Texts{"GetResponse", "GetExternalStateArray"}));
    for (const auto& error : driver.errors())
        EXPECT_EQ(error.number, vb::err::kSubscriptOutOfRange);
}

TEST_F(StateExchange, ResponsesFollowTheResponseType)
{
    const std::string key = R"(<Answer Weight="2">A AND C</Answer><Answer Weight="0.5">A</Answer>)";
    const std::string shortKey = "A AND C, A";
    const std::string fullKey = "<Answers>" + key + "</Answers>";
    const std::string convertedKey =
        R"(<Answers><Answer Expression="A AND C" Weight="2"/><Answer Expression="A" Weight="0.5"/></Answers>)";
    const std::string fullResponses = "<Responses><Response>A</Response><Response>C</Response></Responses>";
    const std::string answerList = "<Visited><cmdShowQuestion/></Visited><ItemType><MC/></ItemType>"
                                   R"(<UserAnswers><Answer Value="A"/><Answer Value="C"/></UserAnswers>)";
    struct Case {
        const char* responseType;
        std::int32_t type;
        std::string text;
    };
    const Case cases[] = {
        {"S", 0, shortKey},   {"S", 1, "A, C"},          {"S", 2, ""},
        {"N", 0, fullKey},    {"N", 1, fullResponses},   {"N", 2, ""},
        {"X", 0, convertedKey}, {"X", 1, answerList},    {"X", 2, ""},
        {"", 1, answerList},  {"s", 1, answerList},      {"n", 0, convertedKey},
        {"S", -1, ""},        {"N", 3, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.responseType) + " type " + std::to_string(c.type));
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml({.responseType = c.responseType, .answers = key})));
        item.restore(stateWith({"A", "C"}));
        bool isAscii = false;
        EXPECT_EQ(item.display().GetResponseBytes(c.type, isAscii), static_cast<std::int32_t>(2 * c.text.size()));
        EXPECT_TRUE(isAscii);
        vb::ByteArray array(2 * c.text.size() + 4, kUntouched);
        EXPECT_TRUE(item.display().GetResponse(c.type, array, static_cast<std::int32_t>(array.size())));
        EXPECT_EQ(array, concat(bytes(c.text), vb::ByteArray(4, kUntouched)));
        EXPECT_TRUE(item.errors().empty());
    }

    ASSERT_TRUE(driver.init(itemXml()));
    bool isAscii = false;
    EXPECT_EQ(driver.display().GetResponseBytes(1, isAscii), 0);
    EXPECT_TRUE(isAscii);
}

TEST_F(StateExchange, AnswerStatusCountsResponsesAgainstTheMinimum)
{
    struct Case {
        const char* min;
        std::vector<std::string> responses;
        std::int32_t status;
    };
    const Case cases[] = {
        {"2", {}, 2},   {"2", {"A"}, 3},  {"2", {"A", "C"}, 100}, {"2", {"A", "B", "C"}, 100},
        {"3", {"A", "B"}, 3}, {"1", {"A"}, 100}, {"", {"A"}, 100}, {"", {}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("Min ") + c.min + ", " + std::to_string(c.responses.size()) + " responses");
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml({.min = c.min})));
        item.restore(stateWith(c.responses));
        std::int32_t status = -1;
        bool viewedAll = true;
        std::string message = "the driver's own text";
        item.display().GetExternalDisplayStatus(status, viewedAll, message);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(viewedAll, item.component().mainForm()->ViewedAll());
        EXPECT_EQ(message, "the driver's own text");
        EXPECT_EQ(item.support().notesOf("GetExternalDisplayStatus"), (Texts{"Start", "End"}));
        EXPECT_TRUE(item.errors().empty());
    }
}

TEST_F(StateExchange, ASavedStateRestoresByteForByte)
{
    const std::string state = "<State><Responses><Response>C</Response><Response>A</Response></Responses>"
                              "<Scroll>True</Scroll><Order><Position Tag=\"D\"/></Order></State>";
    ASSERT_TRUE(driver.init(itemXml()));
    driver.restore(state);
    const auto saved = driver.savedState();
    ASSERT_EQ(saved.size(), bytes(state).size() + 12);
    EXPECT_EQ(vb::ByteArray(saved.end() - 12, saved.end()), vb::ByteArray(12, 0));

    ItemDriver later;
    ASSERT_TRUE(later.init(itemXml()));
    int loads = 0;
    const auto connection = later.component().LoadState.connect([&] { ++loads; });
    later.display().SetExternalStateArray(saved, static_cast<std::int32_t>(saved.size()));

    EXPECT_EQ(loads, 1);
    EXPECT_EQ(later.savedState(), saved);
    EXPECT_EQ(later.response(1), "C, A");
    EXPECT_TRUE(later.errors().empty());
}

TEST_F(StateExchange, RestoringKeepsAStateWhateverTheBytes)
{
    const std::string before = stateWith({"A"});
    const std::string after = stateWith({"B"});
    const std::string emptyState = "<State><Responses/></State>";
    const std::string utf8 = after;
    struct Case {
        const char* name;
        vb::ByteArray state;
        std::string expected;
        bool reported;
    };
    const Case cases[] = {
        {"no bytes", {}, emptyState, false},
        {"blanks", bytes("    "), emptyState, false},
        {"two characters", bytes("ab"), emptyState, false},
        {"two characters between blanks", bytes("  ab  "), emptyState, false},
        {"megabyte of blanks", bytes(std::string(1 << 20, ' ')), emptyState, false},
        {"a State", bytes(after), after, false},
        {"an empty State element", bytes("<State/>"), "<State/>", false},
        {"unwritten tail handed back", concat(bytes(after), vb::ByteArray(12, 0)), after, false},
        {"odd length", concat(bytes(after), {'<'}), after, false},
        {"megabytes of NULs after it", concat(bytes(after), vb::ByteArray(3 << 20, 0)), after, false},
        {"three characters", bytes("abc"), before, true},
        {"garbage", bytes("}}not a state{{"), before, true},
        {"truncated", bytes("<State><Responses><Response>B</Response>"), before, true},
        {"not a State element", bytes("<Responses><Response>B</Response></Responses>"), before, true},
        {"two elements", bytes("<State/><State/>"), before, true},
        {"raw UTF-8", vb::ByteArray(utf8.begin(), utf8.end()), before, true},
        {"megabytes of garbage", vb::ByteArray(3 << 20, 'x'), before, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml({.state = before})));
        int loads = 0;
        const auto connection = item.component().LoadState.connect([&] { ++loads; });
        item.display().SetExternalStateArray(c.state, static_cast<std::int32_t>(c.state.size()));
        EXPECT_EQ(loads, 1);
        EXPECT_EQ(item.state(), c.expected);
        EXPECT_EQ(item.errorRoutines(), c.reported ? Texts{"SetExternalStateArray"} : Texts{});
        EXPECT_EQ(item.support().notesOf("SetExternalStateArray"), (Texts{"Start", "End"}));
    }
}

}  // namespace
}  // namespace quorin::test
