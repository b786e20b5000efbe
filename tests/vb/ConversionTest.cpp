#include "vb/ComError.h"
#include "vb/Variant.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Conversion = std::string (*)(const vb::Variant&);
const Conversion Int16 = [](const vb::Variant& v) { return vb::numberText(v.toInt16()); };
const Conversion Int32 = [](const vb::Variant& v) { return vb::numberText(v.toInt32()); };
const Conversion Single = [](const vb::Variant& v) { return vb::numberText(v.toSingle()); };
const Conversion Bool = [](const vb::Variant& v) { return std::string(v.toBool() ? "True" : "False"); };

// Each text (nullptr: Empty) converts to the expected text of its result, or "error N" when it raises N.
template <std::size_t N>
void expectConversions(Conversion to, const std::pair<const char*, const char*> (&cases)[N])
{
    for (const auto& [text, expected] : cases) {
        const vb::Variant value = text ? vb::Variant(text) : vb::Variant();
        try {
            EXPECT_EQ(to(value), expected) << (text ? text : "Empty");
        } catch (const vb::ComError& raised) {
            EXPECT_EQ("error " + std::to_string(raised.number), expected) << (text ? text : "Empty");
        }
    }
}

TEST(Conversion, FollowsTheRuntimeAtItsEdges)
{
    expectConversions(Int16, {{nullptr, "0"},        {"32767", "32767"},   {"32768", "error 6"},   {"-32768", "-32768"},
                              {"-32769", "error 6"}, {"32767.4", "32767"}, {"32767.5", "error 6"}, {"2.5", "2"},
                              {"3.5", "4"},          {"-2.5", "-2"},       {"0.5", "0"},           {"  12  ", "12"},
                              {"+7", "7"},           {"1e3", "1000"},      {"1e999", "error 6"},   {"&H10", "16"},
                              {"&o17", "15"},        {"True", "-1"},       {"false", "0"},         {"", "error 13"},
                              {"abc", "error 13"},   {"1 2", "error 13"},  {"1e", "error 13"},     {".", "error 13"}});
    expectConversions(Int32, {{"2147483647", "2147483647"}, {"-2147483648", "-2147483648"}, {"2147483648", "error 6"}});
    expectConversions(Single, {{nullptr, "0"}, {"1.25", "1.25"}, {"1e39", "error 6"}});
    const std::pair<const char*, const char*> toBool[] = {{nullptr, "False"},  {"TRUE", "True"},   {"true", "True"},
                                                          {"false", "False"},  {"FALSE", "False"}, {"-1", "True"},
                                                          {"0", "False"},      {"2", "True"},      {"0.0", "False"},
                                                          {"yes", "error 13"}, {"", "error 13"},   {"T", "error 13"}};
    expectConversions(Bool, toBool);
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
