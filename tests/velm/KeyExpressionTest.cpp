#include "velm/KeyExpression.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What keys mean is shown through the scorer; here only which texts parse at all.
TEST(KeyExpression, RejectsMalformedText)
{
    // clang-format off
    const std::pair<const char*, bool> cases[] = {
        {"A", true}, {"((A))", true}, {"NOT NOT A", true}, {"A and only", true}, {"(A) BEFORE B", true},
        {"ONLY", true}, {"", false}, {"   ", false}, {"AND", false}, {"A AND", false}, {"OR A", false},
        {"A B", false}, {"A OR OR B", false}, {"(A", false}, {"A)", false}, {"()", false}, {") A (", false},
        {"NOT", false}, {"A NOT B", false}, {"A BEFORE", false}, {"A BEFORE B BEFORE C", false},
        {"NOT A BEFORE B", false}, {"A BEFORE NOT B", false}, {"(A OR B) BEFORE C", false},
        {"A BEFORE (B AND C)", false}, {"AND ONLY", false}, {"A OR AND ONLY", false},
    };
    // clang-format on
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(velm::KeyExpression(text).isValid(), valid) << text;
}

// A damaged or hostile key must not exhaust the stack; its speed is the benchmark's to measure.
TEST(KeyExpression, HugeKeysAreEvaluatedWithoutRecursion)
{
    const std::string nest = std::string(50000, '(') + "A" + std::string(50000, ')');
    EXPECT_TRUE(velm::KeyExpression(nest).isMetBy({"A"}));
    EXPECT_FALSE(velm::KeyExpression(nest + ")").isValid());
    EXPECT_FALSE(velm::KeyExpression(std::string(50000, '(') + "A").isValid());

    std::string nots;
    for (int i = 0; i < 25001; ++i)
        nots += "NOT ";
    EXPECT_TRUE(velm::KeyExpression(nots + "A").isMetBy({"B"}));

    std::string chain = "T0";
    for (int i = 1; i < 12000; ++i)
        chain += (i % 2 ? " OR T" : " AND T") + std::to_string(i);
    ASSERT_GE(chain.size(), 100000u);
    EXPECT_TRUE(velm::KeyExpression(chain).isMetBy({"T0"}));
    EXPECT_FALSE(velm::KeyExpression(chain + " AND ONLY").isMetBy({"T1", "X"}));
}

}  // namespace
