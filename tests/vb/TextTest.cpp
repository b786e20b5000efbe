#include "vb/Text.h"
#include "vb/Strings.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

using namespace std::string_literals;

vb::ByteArray units(std::initializer_list<std::uint16_t> codeUnits)
{
    vb::ByteArray bytes;
    for (auto unit : codeUnits)
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(unit & 0xFF), static_cast<std::uint8_t>(unit >> 8)});
    return bytes;
}

// Little-endian units without terminator; malformed UTF-8 becomes U+FFFD, one per byte it skips, so
// only well-formed text decodes back as it was.
TEST(Text, EncodesEachCodePointAsItsUnitsAndDecodesWellFormedTextBack)
{
    // clang-format off
    const std::tuple<std::string, vb::ByteArray, bool> cases[] = {
        {"", {}, true}, {"Abcde\xC3\xA9<", units({0x41, 0x62, 0x63, 0x64, 0x65, 0xE9, 0x3C}), true},
        {"\xE6\x97\xA5\0B"s, units({0x65E5, 0, 0x42}), true}, {"\xF0\x9F\x98\x80", units({0xD83D, 0xDE00}), true},
        {"\xEF\xBF\xBD", units({0xFFFD}), true}, {"\xFF\x41", units({0xFFFD, 0x41}), false},
        {"\xC3", units({0xFFFD}), false}, {"\xED\xA0\x80", units({0xFFFD, 0xFFFD, 0xFFFD}), false},
    };
    // clang-format on
    for (const auto& [text, expected, wellFormed] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(vb::bytesFromText(text), expected);
        EXPECT_EQ(vb::utf16Length(text), expected.size() / 2);
        EXPECT_EQ(vb::textFromBytes(expected) == text, wellFormed);
    }
}

TEST(Text, DecodingIgnoresAnOddLastByteAndReplacesLoneSurrogates)
{
    // clang-format off
    const std::pair<vb::ByteArray, std::string> cases[] = {
        {{0x41, 0x00, 0x42, 0x00, 0x43}, "AB"}, {{0x41}, ""}, {units({0xD800, 0x41}), "\xEF\xBF\xBD\x41"},
        {units({0x41, 0xDC00}), "A\xEF\xBF\xBD"}, {units({0xDC00, 0xD800}), "\xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    // clang-format on
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(vb::textFromBytes(bytes), expected);
}

TEST(Strings, TrimCaseAndPrefixHelpers)
{
    EXPECT_EQ((std::vector<std::string>{
                  vb::trim("  a b  "), vb::trim("\ta\t"), vb::trim("   "), std::string(vb::leftCodePoints("äbc", 1)),
                  std::string(vb::leftCodePoints("ab", 5)), std::string(vb::leftCodePoints("日本", 1)),
                  vb::upperAscii("aBc-ä"), vb::replaceAll("a%b%", "%", "12")}),
              (std::vector<std::string>{"a b", "\ta\t", "", "ä", "ab", "日", "ABC-ä", "a12b12"}));
    EXPECT_TRUE(vb::equalsIgnoreCase("NoNe", "NONE") && !vb::equalsIgnoreCase("NON", "NONE"));
    EXPECT_EQ((std::vector{vb::findIgnoringCase("a<Img <iMG", "<img", 2), vb::findIgnoringCase("Src", "src=", 0),
                           vb::findIgnoringCase("sr <img SrC=\"", "src=\"", 0), vb::findIgnoringCase("ab", "", 3)}),
              (std::vector<std::size_t>{6, std::string_view::npos, 8, std::string_view::npos}));
    EXPECT_EQ(vb::split("|a||b|", '|'), (std::vector<std::string>{"", "a", "", "b", ""}));
    EXPECT_EQ(vb::split("", ','), std::vector<std::string>{""});
}

}  // namespace
