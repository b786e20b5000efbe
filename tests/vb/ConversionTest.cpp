#include "vb/ComError.h"
#include "vb/Variant.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Conversion = std::string (*)(const vb::Variant&);
const Conversion toInt16 = [](const vb::Variant& v) { return vb::numberText(v.toInt16()); };
const Conversion toInt32 = [](const vb::Variant& v) { return vb::numberText(v.toInt32()); };
const Conversion toSingle = [](const vb::Variant& v) { return vb::numberText(v.toSingle()); };
const Conversion toBool = [](const vb::Variant& v) { return std::string(v.toBool() ? "True" : "False"); };

TEST(Conversion, FollowsTheRuntimeAtItsEdges)
{
    // The conversion, the text (nullptr: Empty) and the text of its result, or "error N" when it raises N.
    // clang-format off
    const std::tuple<Conversion, const char*, const char*> cases[] = {
        {toInt16, nullptr, "0"}, {toInt16, "32767", "32767"}, {toInt16, "32768", "error 6"},
        {toInt16, "-32768", "-32768"}, {toInt16, "-32769", "error 6"}, {toInt16, "32767.4", "32767"},
        {toInt16, "32767.5", "error 6"}, {toInt16, "2.5", "2"}, {toInt16, "3.5", "4"}, {toInt16, "-2.5", "-2"},
        {toInt16, "0.5", "0"}, {toInt16, "  12  ", "12"}, {toInt16, "+7", "7"}, {toInt16, "1e3", "1000"},
        {toInt16, "1e999", "error 6"}, {toInt16, "&H10", "16"}, {toInt16, "&o17", "15"}, {toInt16, "True", "-1"},
        {toInt16, "false", "0"}, {toInt16, "", "error 13"}, {toInt16, "abc", "error 13"},
        {toInt16, "1 2", "error 13"}, {toInt16, "1e", "error 13"}, {toInt16, ".", "error 13"},
        {toInt32, "2147483647", "2147483647"}, {toInt32, "-2147483648", "-2147483648"},
        {toInt32, "2147483648", "error 6"}, {toSingle, nullptr, "0"}, {toSingle, "1.25", "1.25"},
        {toSingle, "1e39", "error 6"}, {toBool, nullptr, "False"}, {toBool, "TRUE", "True"}, {toBool, "true", "True"},
        {toBool, "false", "False"}, {toBool, "FALSE", "False"}, {toBool, "-1", "True"}, {toBool, "0", "False"},
        {toBool, "2", "True"}, {toBool, "0.0", "False"}, {toBool, "yes", "error 13"}, {toBool, "", "error 13"},
        {toBool, "T", "error 13"},
    };
    // clang-format on
    for (const auto& [to, text, expected] : cases) {
        SCOPED_TRACE(text ? text : "Empty");
        try {
            EXPECT_EQ(to(text ? vb::Variant(text) : vb::Variant()), expected);
        } catch (const vb::ComError& raised) {
            EXPECT_EQ("error " + std::to_string(raised.number), expected);
        }
    }
}

TEST(Conversion, TextsThatAreNumbersAndTheTextOfValues)
{
    for (const char* yes : {"1", " 1 ", "-1.5", "+.5", "1e-3", "&HFF", "007"})
        EXPECT_TRUE(vb::isNumeric(yes)) << yes;
    for (const char* no : {"", " ", "A", "1A", "A1", "--1", "1..2", "True", "&H", "&HG"})
        EXPECT_FALSE(vb::isNumeric(no)) << no;
    EXPECT_TRUE(vb::Variant().isEmpty() && vb::Variant().toString().empty() && !vb::Variant("").isEmpty());
}

}  // namespace
