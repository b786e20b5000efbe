#include "vb/ComError.h"
#include "vb/Variant.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// The error number a conversion raises, or nothing when it succeeds.
template <class F>
std::optional<int> errorOf(F&& convert)
{
    try {
        convert();
        return std::nullopt;
    } catch (const vb::ComError& error) {
        return error.number;
    }
}

struct Int16Case {
    vb::Variant input;
    std::int16_t expected;
    std::optional<int> error;
};

TEST(Conversion, ToInt16FollowsTheRuntime)
{
    const Int16Case cases[] = {
        {vb::Variant(), 0, {}},
        {"0", 0, {}},
        {"32767", 32767, {}},
        {"32768", 0, vb::err::kOverflow},
        {"-32768", -32768, {}},
        {"-32769", 0, vb::err::kOverflow},
        {"32767.4", 32767, {}},
        {"32767.5", 0, vb::err::kOverflow},
        {"2.5", 2, {}},
        {"3.5", 4, {}},
        {"-2.5", -2, {}},
        {"0.5", 0, {}},
        {"1.5", 2, {}},
        {"  12  ", 12, {}},
        {"+7", 7, {}},
        {"1e3", 1000, {}},
        {"&H10", 16, {}},
        {"&o17", 15, {}},
        {"True", -1, {}},
        {"false", 0, {}},
        {"", 0, vb::err::kTypeMismatch},
        {"abc", 0, vb::err::kTypeMismatch},
        {"1 2", 0, vb::err::kTypeMismatch},
        {"1e", 0, vb::err::kTypeMismatch},
        {".", 0, vb::err::kTypeMismatch},
        {"1e999", 0, vb::err::kOverflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.toString());
        std::int16_t value = 0;
        EXPECT_EQ(errorOf([&] { value = c.input.toInt16(); }), c.error);
        if (!c.error) {
            EXPECT_EQ(value, c.expected);
        }
    }
}

TEST(Conversion, ToInt32OverflowsOutsideLongRange)
{
    EXPECT_EQ(vb::Variant("2147483647").toInt32(), 2147483647);
    EXPECT_EQ(vb::Variant("-2147483648").toInt32(), -2147483647 - 1);
    EXPECT_EQ(errorOf([] { vb::Variant("2147483648").toInt32(); }), vb::err::kOverflow);
    EXPECT_EQ(vb::Variant("32768").toInt32(), 32768);
}

struct BoolCase {
    vb::Variant input;
    bool expected;
    std::optional<int> error;
};

TEST(Conversion, ToBoolAcceptsWordsInAnyCaseAndNumbers)
{
    const BoolCase cases[] = {
        {vb::Variant(), false, {}},
        {"TRUE", true, {}},
        {"true", true, {}},
        {"True", true, {}},
        {"false", false, {}},
        {"FALSE", false, {}},
        {"-1", true, {}},
        {"0", false, {}},
        {"2", true, {}},
        {"0.0", false, {}},
        {"yes", false, vb::err::kTypeMismatch},
        {"", false, vb::err::kTypeMismatch},
        {"T", false, vb::err::kTypeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.toString());
        bool value = false;
        EXPECT_EQ(errorOf([&] { value = c.input.toBool(); }), c.error);
        if (!c.error) {
            EXPECT_EQ(value, c.expected);
        }
    }
}

TEST(Conversion, EmptyReadsAsZeroFalseAndNothing)
{
    const vb::Variant empty;
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_EQ(empty.toString(), "");
    EXPECT_EQ(empty.toSingle(), 0.0f);
    EXPECT_FALSE(vb::Variant("").isEmpty());
}

TEST(Conversion, IsNumeric)
{
    for (const char* yes : {"1", " 1 ", "-1.5", "+.5", "1e-3", "&HFF", "007"})
        EXPECT_TRUE(vb::isNumeric(yes)) << yes;
    for (const char* no : {"", " ", "A", "1A", "A1", "--1", "1..2", "True", "&H", "&HG"})
        EXPECT_FALSE(vb::isNumeric(no)) << no;
}

TEST(Conversion, SingleOverflowsPastItsRange)
{
    EXPECT_FLOAT_EQ(vb::Variant("1.25").toSingle(), 1.25f);
    EXPECT_EQ(errorOf([] { vb::Variant("1e39").toSingle(); }), vb::err::kOverflow);
}

TEST(Conversion, NumberText)
{
    EXPECT_EQ(vb::numberText(3), "3");
    EXPECT_EQ(vb::numberText(-12), "-12");
    EXPECT_EQ(vb::numberText(2.5), "2.5");
    EXPECT_EQ(vb::boolText(true), "True");
}

}  // namespace
