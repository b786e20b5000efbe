#include "vb/Text.h"
#include "vb/Strings.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

vb::ByteArray units(std::initializer_list<std::uint16_t> codeUnits)
{
    vb::ByteArray bytes;
    for (auto unit : codeUnits)
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(unit & 0xFF), static_cast<std::uint8_t>(unit >> 8)});
    return bytes;
}

TEST(Text, RoundTripsThroughUtf16)
{
    for (const auto& text : {""s, "A"s, "<State/>"s, "Größe"s, "日本語"s, "emoji 😀 end"s, "\xEF\xBF\xBD"s, "A\0B"s,
                             "abcé<Response>A</Response>日本語😀 after"s}) {
        const auto bytes = vb::bytesFromText(text);
        EXPECT_EQ(bytes.size(), 2 * vb::utf16Length(text)) << text;
        EXPECT_EQ(vb::textFromBytes(bytes), text);
    }
}

// Little-endian units without terminator; malformed UTF-8 becomes U+FFFD, one per byte it skips.
TEST(Text, EncodesEachCodePointAsItsUnits)
{
    const std::pair<const char*, vb::ByteArray> cases[] = {
        {"A\xC3\xA9", units({0x41, 0xE9})},
        {"\xF0\x9F\x98\x80", units({0xD83D, 0xDE00})},
        {"\xFF\x41", units({0xFFFD, 0x41})},
        {"\xC3", units({0xFFFD})},
        {"\xED\xA0\x80", units({0xFFFD, 0xFFFD, 0xFFFD})},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(vb::bytesFromText(text), expected) << text;
        EXPECT_EQ(vb::utf16Length(text), expected.size() / 2) << text;
    }
}

TEST(Text, DecodingIgnoresAnOddLastByteAndReplacesLoneSurrogates)
{
    const std::pair<vb::ByteArray, std::string> cases[] = {
        {{0x41, 0x00, 0x42, 0x00, 0x43}, "AB"},
        {{0x41}, ""},
        {units({0xD800, 0x41}), "\xEF\xBF\xBD\x41"},
        {units({0x41, 0xDC00}), "A\xEF\xBF\xBD"},
        {units({0xDC00, 0xD800}), "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(vb::textFromBytes(bytes), expected);
}

TEST(Strings, TrimCaseAndPrefixHelpers)
{
    EXPECT_EQ(vb::trim("  a b  ") + "|" + vb::trim("\ta\t") + "|" + vb::trim("   ") + "|", "a b|\ta\t||");
    EXPECT_EQ(std::string(vb::leftCodePoints("äbc", 1)) + "|" + std::string(vb::leftCodePoints("ab", 5)) + "|"
                  + std::string(vb::leftCodePoints("日本", 1)),
              "ä|ab|日");
    EXPECT_EQ(vb::upperAscii("aBc-ä"), "ABC-ä");
    EXPECT_TRUE(vb::equalsIgnoreCase("NoNe", "NONE") && !vb::equalsIgnoreCase("NON", "NONE"));
    EXPECT_EQ(vb::findIgnoringCase("a<Img <iMG", "<img", 2), 6u);
    EXPECT_EQ(vb::findIgnoringCase("Src", "src=", 0), std::string_view::npos);
    EXPECT_EQ(vb::findIgnoringCase("sr <img SrC=\"", "src=\"", 0), 8u);
    EXPECT_EQ(vb::findIgnoringCase("ab", "", 3), std::string_view::npos);
    EXPECT_EQ(vb::replaceAll("a%b%", "%", "12"), "a12b12");
    EXPECT_EQ(vb::split("|a||b|", '|'), (std::vector<std::string>{"", "a", "", "b", ""}));
    EXPECT_EQ(vb::split("", ','), std::vector<std::string>{""});
}

}  // namespace
