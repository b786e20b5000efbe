#include "vb/Strings.h"
#include "vb/Text.h"

#include <gtest/gtest.h>

namespace {

vb::ByteArray units(std::initializer_list<std::uint16_t> codeUnits)
{
    vb::ByteArray bytes;
    for (auto unit : codeUnits) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

TEST(Text, RoundTripsThroughUtf16)
{
    for (const char* text : {"", "A", "<State/>", "Größe", "日本語", "emoji 😀 end", "\xEF\xBF\xBD"}) {
        const auto bytes = vb::bytesFromText(text);
        EXPECT_EQ(bytes.size(), 2 * vb::utf16Length(text)) << text;
        EXPECT_EQ(vb::textFromBytes(bytes), text);
    }
}

TEST(Text, EncodesAsLittleEndianUnitsWithoutTerminator)
{
    EXPECT_EQ(vb::bytesFromText("A\xC3\xA9"), units({0x41, 0xE9}));
    EXPECT_EQ(vb::bytesFromText("\xF0\x9F\x98\x80"), units({0xD83D, 0xDE00}));
    EXPECT_EQ(vb::utf16Length("\xF0\x9F\x98\x80"), 2u);
}

TEST(Text, OddLastByteIsIgnored)
{
    auto bytes = vb::bytesFromText("AB");
    bytes.push_back(0x43);
    EXPECT_EQ(vb::textFromBytes(bytes), "AB");
    EXPECT_EQ(vb::textFromBytes(vb::ByteArray{0x41}), "");
}

TEST(Text, LoneSurrogatesBecomeReplacementCharacters)
{
    EXPECT_EQ(vb::textFromBytes(units({0xD800, 0x41})), "\xEF\xBF\xBD" "A");
    EXPECT_EQ(vb::textFromBytes(units({0x41, 0xDC00})), "A\xEF\xBF\xBD");
    EXPECT_EQ(vb::textFromBytes(units({0xDC00, 0xD800})), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters)
{
    EXPECT_EQ(vb::bytesFromText("\xFF" "A"), units({0xFFFD, 0x41}));
    EXPECT_EQ(vb::bytesFromText("\xC3"), units({0xFFFD}));
    EXPECT_EQ(vb::bytesFromText("\xED\xA0\x80"), units({0xFFFD, 0xFFFD, 0xFFFD}));
}

TEST(Text, NulCharactersSurvive)
{
    const std::string text("A\0B", 3);
    EXPECT_EQ(vb::textFromBytes(vb::bytesFromText(text)), text);
}

TEST(Strings, TrimRemovesBlanksOnly)
{
    EXPECT_EQ(vb::trim("  a b  "), "a b");
    EXPECT_EQ(vb::trim("\ta\t"), "\ta\t");
    EXPECT_EQ(vb::trim("   "), "");
}

TEST(Strings, LeftCodePointsNeverSplitsASequence)
{
    EXPECT_EQ(vb::leftCodePoints("äbc", 1), "ä");
    EXPECT_EQ(vb::leftCodePoints("ab", 5), "ab");
    EXPECT_EQ(vb::leftCodePoints("日本", 1), "日");
}

TEST(Strings, CaseHelpers)
{
    EXPECT_EQ(vb::upperAscii("aBc-ä"), "ABC-ä");
    EXPECT_TRUE(vb::equalsIgnoreCase("NoNe", "NONE"));
    EXPECT_FALSE(vb::equalsIgnoreCase("NON", "NONE"));
    EXPECT_EQ(vb::replaceAll("a%b%", "%", "12"), "a12b12");
}

}  // namespace
