#include "vb/ComError.h"
#include "vb/Variant.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace {

using Conversion = double (*)(const vb::Variant&);
const Conversion Int16 = [](const vb::Variant& v) -> double { return v.toInt16(); };
const Conversion Int32 = [](const vb::Variant& v) -> double { return v.toInt32(); };
const Conversion Single = [](const vb::Variant& v) -> double { return v.toSingle(); };
const Conversion Bool = [](const vb::Variant& v) -> double { return v.toBool(); };

TEST(Conversion, FollowsTheRuntimeAtItsEdges)
{
    using vb::err::kOverflow, vb::err::kTypeMismatch;
    // The value, the conversion, and its result or the error it raises.
    const std::tuple<vb::Variant, Conversion, double, std::optional<int>> cases[] = {
        {vb::Variant(), Int16, 0, {}}, {"32767", Int16, 32767, {}}, {"32768", Int16, 0, kOverflow},
        {"-32768", Int16, -32768, {}}, {"-32769", Int16, 0, kOverflow},
        {"32767.4", Int16, 32767, {}}, {"32767.5", Int16, 0, kOverflow},
        {"2.5", Int16, 2, {}}, {"3.5", Int16, 4, {}}, {"-2.5", Int16, -2, {}}, {"0.5", Int16, 0, {}},
        {"  12  ", Int16, 12, {}}, {"+7", Int16, 7, {}}, {"1e3", Int16, 1000, {}}, {"1e999", Int16, 0, kOverflow},
        {"&H10", Int16, 16, {}}, {"&o17", Int16, 15, {}}, {"True", Int16, -1, {}}, {"false", Int16, 0, {}},
        {"", Int16, 0, kTypeMismatch}, {"abc", Int16, 0, kTypeMismatch}, {"1 2", Int16, 0, kTypeMismatch},
        {"1e", Int16, 0, kTypeMismatch}, {".", Int16, 0, kTypeMismatch},
        {"2147483647", Int32, 2147483647, {}}, {"-2147483648", Int32, -2147483648.0, {}},
        {"2147483648", Int32, 0, kOverflow},
        {vb::Variant(), Single, 0, {}}, {"1.25", Single, 1.25, {}}, {"1e39", Single, 0, kOverflow},
        {vb::Variant(), Bool, false, {}},
        {"TRUE", Bool, true, {}}, {"true", Bool, true, {}}, {"false", Bool, false, {}}, {"FALSE", Bool, false, {}},
        {"-1", Bool, true, {}}, {"0", Bool, false, {}}, {"2", Bool, true, {}}, {"0.0", Bool, false, {}},
        {"yes", Bool, false, kTypeMismatch}, {"", Bool, false, kTypeMismatch}, {"T", Bool, false, kTypeMismatch},
    };
    for (const auto& [input, to, expected, error] : cases) {
        SCOPED_TRACE(input.isEmpty() ? "Empty" : '"' + input.toString() + '"');
        try {
            EXPECT_EQ(to(input), expected);
            EXPECT_FALSE(error) << "no error";
        } catch (const vb::ComError& raised) {
            EXPECT_EQ(raised.number, error);
        }
    }
}

TEST(Conversion, TextsThatAreNumbersAndTheTextOfValues)
{
    for (const char* yes : {"1", " 1 ", "-1.5", "+.5", "1e-3", "&HFF", "007"})
        EXPECT_TRUE(vb::isNumeric(yes)) << yes;
    for (const char* no : {"", " ", "A", "1A", "A1", "--1", "1..2", "True", "&H", "&HG"})
        EXPECT_FALSE(vb::isNumeric(no)) << no;
    EXPECT_TRUE(vb::Variant().isEmpty());
    EXPECT_EQ(vb::Variant().toString(), "");
    EXPECT_FALSE(vb::Variant("").isEmpty());
    EXPECT_EQ(vb::numberText(3), "3");
    EXPECT_EQ(vb::numberText(-12), "-12");
    EXPECT_EQ(vb::numberText(2.5), "2.5");
}

}  // namespace
