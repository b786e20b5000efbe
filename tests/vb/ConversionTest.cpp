#include "vb/ComError.h"
#include "vb/Variant.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

enum class To { Int16, Int32, Single, Bool };

struct ConversionCase {
    vb::Variant input;
    To to;
    double expected;
    std::optional<int> error;
};

double convert(const vb::Variant& input, To to)
{
    switch (to) {
    case To::Int16:
        return input.toInt16();
    case To::Int32:
        return input.toInt32();
    case To::Single:
        return input.toSingle();
    case To::Bool:
        return input.toBool();
    }
    return 0;
}

TEST(Conversion, FollowsTheRuntimeAtItsEdges)
{
    using enum To;
    const auto kOverflow = vb::err::kOverflow;
    const auto kTypeMismatch = vb::err::kTypeMismatch;
    const ConversionCase cases[] = {
        {vb::Variant(), Int16, 0, {}},
        {"32767", Int16, 32767, {}}, {"32768", Int16, 0, kOverflow},
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.isEmpty() ? "Empty" : '"' + c.input.toString() + '"');
        SCOPED_TRACE(static_cast<int>(c.to));
        try {
            EXPECT_EQ(convert(c.input, c.to), c.expected);
            EXPECT_FALSE(c.error) << "no error";
        } catch (const vb::ComError& error) {
            EXPECT_EQ(error.number, c.error);
        }
    }
}

TEST(Conversion, IsNumeric)
{
    for (const char* yes : {"1", " 1 ", "-1.5", "+.5", "1e-3", "&HFF", "007"})
        EXPECT_TRUE(vb::isNumeric(yes)) << yes;
    for (const char* no : {"", " ", "A", "1A", "A1", "--1", "1..2", "True", "&H", "&HG"})
        EXPECT_FALSE(vb::isNumeric(no)) << no;
}

TEST(Conversion, TextForms)
{
    EXPECT_TRUE(vb::Variant().isEmpty());
    EXPECT_EQ(vb::Variant().toString(), "");
    EXPECT_FALSE(vb::Variant("").isEmpty());
    EXPECT_EQ(vb::numberText(3), "3");
    EXPECT_EQ(vb::numberText(-12), "-12");
    EXPECT_EQ(vb::numberText(2.5), "2.5");
}

}  // namespace
