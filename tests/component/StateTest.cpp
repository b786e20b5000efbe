#include "ItemDriver.h"

#include <array>

namespace quorin::test {
namespace {

constexpr std::uint8_t kUntouched = 0xEE;

// The caller's array as it must look afterwards: the first bytes of text, the rest as they were.
vb::ByteArray filled(const std::string& text, std::int32_t copied, std::int32_t size, std::uint8_t rest = kUntouched)
{
    auto expected = bytes(text);
    expected.resize(static_cast<std::size_t>(copied));
    expected.resize(static_cast<std::size_t>(size), rest);
    return expected;
}

// What a driver stores for a state text: its bytes and the 12 left unwritten.
vb::ByteArray stored(const std::string& text)
{
    const auto length = static_cast<std::int32_t>(2 * text.size());
    return filled(text, length, length + 12, 0);
}

TEST(StateExchange, AFortyCharacterStateTakes92BytesAndCopiesStopAtLBytesAndAtTheEndOfTheCallersArray)
{
    const std::string state = "<State><Responses/><P>123456</P></State>";
    const std::string key = "A AND C, A, B";
    ASSERT_EQ(state.size(), 40u);
    ItemDriver item{{.extra = state}};
    EXPECT_EQ(item.display().GetExternalStateBytes(), 92);
    // The caller's array size, lBytes, the state bytes and key bytes copied. The last 12 bytes of
    // a 92-byte array stay untouched; lBytes 10 copies 5 characters.
    const std::array<std::int32_t, 4> cases[] = {{92, 92, 80, 26}, {92, 10, 10, 10}, {4, 200, 4, 4},
                                                 {100, 9, 9, 9},   {100, -5, 0, 0},  {0, 100, 0, 0}};
    for (const auto& [size, lBytes, stateCopied, keyCopied] : cases) {
        SCOPED_TRACE(std::to_string(size) + " bytes, lBytes " + std::to_string(lBytes));
        vb::ByteArray stateArray(static_cast<std::size_t>(size), kUntouched);
        item.display().GetExternalStateArray(stateArray, lBytes);
        EXPECT_EQ(stateArray, filled(state, stateCopied, size));
        vb::ByteArray keyArray(static_cast<std::size_t>(size), kUntouched);
        EXPECT_EQ(item.display().GetResponse(0, keyArray, lBytes), size > 0);
        EXPECT_EQ(keyArray, filled(key, keyCopied, size));
    }
    EXPECT_EQ(item.errorRoutines(), (Texts{"GetExternalStateArray", "GetResponse"}));
    for (const auto& error : item.errors())
        EXPECT_EQ(error.number, vb::err::kSubscriptOutOfRange);
}

TEST(StateExchange, ResponsesOfAnswersAAndCFollowTheResponseType)
{
    const std::string key = R"(<Answer Weight="2">A AND C</Answer><Answer Weight="0.5">A</Answer>)";
    const std::string convertedKey =
        R"(<Answers><Answer Expression="A AND C" Weight="2"/><Answer Expression="A" Weight="0.5"/></Answers>)";
    const std::string answerList = "<Visited><cmdShowQuestion/></Visited><ItemType><MC/></ItemType>"
                                   R"(<UserAnswers><Answer Value="A"/><Answer Value="C"/></UserAnswers>)";
    const std::tuple<const char*, std::int32_t, std::string> cases[] = {
        {"S", 0, "A AND C, A"},
        {"S", 1, "A, C"},
        {"S", 2, ""},
        {"N", 0, "<Answers>" + key + "</Answers>"},
        {"N", 1, "<Responses><Response>A</Response><Response>C</Response></Responses>"},
        {"X", 0, convertedKey},
        {"X", 1, answerList},
        {"", 1, answerList},
        {"n", 0, convertedKey},
        {"S", -1, ""},
        {"N", 3, ""},
    };
    for (const auto& [responseType, type, text] : cases) {
        SCOPED_TRACE(std::string(responseType) + " type " + std::to_string(type));
        ItemDriver item({.responseType = responseType, .answers = key, .extra = stateWith({"A", "C"})});
        const auto length = static_cast<std::int32_t>(2 * text.size());
        bool isAscii = false;
        vb::ByteArray array(static_cast<std::size_t>(length + 4), kUntouched);
        EXPECT_EQ((std::tuple{item.display().GetResponseBytes(type, isAscii), isAscii,
                              item.display().GetResponse(type, array, length + 4), array, item.errors().empty()}),
                  (std::tuple{length, true, true, filled(text, length, length + 4), true}));
    }
}

TEST(StateExchange, AnItemWithoutAKeyGivesAnEmptyOneInEveryLayout)
{
    const std::tuple<const char*, std::string> cases[] = {
        {"S", ""},
        {"N", "<Answers/>"},
        {"X", "<Answers/>"},
    };
    for (const auto& [responseType, text] : cases) {
        SCOPED_TRACE(responseType);
        ItemDriver item;
        ASSERT_TRUE(item.init("<MultipleChoiceItem Language=\"ENU\" ResponseType=\"" + std::string(responseType)
                              + "\"><Choices Max=\"1\"/></MultipleChoiceItem>"));
        EXPECT_EQ((std::tuple{item.response(0), item.errors().empty()}), (std::tuple{text, true}));
    }
}

TEST(StateExchange, RestoringChecksTheBytesFirstTakesASavedStateByteForByteAndAlwaysLeavesAState)
{
    const std::string saved = "<State><Responses><Response>C</Response><Response>A</Response></Responses>"
                              "<Scroll>True</Scroll><Order><Position Tag=\"D\"/></Order></State>";
    const auto savedBytes = ItemDriver({.extra = saved}).savedState();
    EXPECT_EQ(savedBytes, stored(saved));
    const std::string before = stateWith({"A"});
    const std::string after = stateWith({"B"});
    auto odd = bytes(after);
    odd.push_back('<');
    const std::string emptyState = "<State><Responses/></State>";
    // What the driver hands back, the bytes, the state then kept, whether the bytes are reported.
    const std::tuple<const char*, vb::ByteArray, std::string, bool> cases[] = {
        {"no bytes", {}, emptyState, false},
        {"two characters", bytes("ab"), emptyState, false},
        {"three characters", bytes("abc"), before, true},
        {"saved with the unwritten tail", savedBytes, saved, false},
        {"odd length", odd, after, false},
        {"garbage", bytes("}}not a state{{"), before, true},
        {"not a State element", bytes("<Responses><Response>B</Response></Responses>"), before, true},
        {"raw UTF-8", vb::ByteArray(after.begin(), after.end()), before, true},
        {"megabytes of garbage", vb::ByteArray(3 << 20, 'x'), before, true},
    };
    for (const auto& [name, state, kept, reported] : cases) {
        SCOPED_TRACE(name);
        ItemDriver item({.extra = before});
        int loads = 0;
        const auto connection = item.component->LoadState.connect([&] { ++loads; });
        item.restore(state);
        EXPECT_EQ((std::tuple{loads, item.savedState(), item.errorRoutines()}),
                  (std::tuple{1, stored(withScrollFlag(kept)), reported ? Texts{"SetExternalStateArray"} : Texts{}}));
    }
}

}  // namespace
}  // namespace quorin::test
