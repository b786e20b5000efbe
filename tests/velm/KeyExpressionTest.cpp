#include "velm/KeyExpression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct MetCase {
    const char* expression;
    std::vector<std::string> responses;
    bool met;
};

TEST(KeyExpression, EvaluatesAgainstTheResponses)
{
    const MetCase cases[] = {
        {"A", {"A"}, true},
        {"A", {"a"}, true},
        {"a", {"A"}, true},
        {"A", {"B"}, false},
        {"A", {}, false},
        {"A", {"A "}, false},
        {"A AND B", {"B", "A"}, true},
        {"A AND B", {"A"}, false},
        {"A and b", {"A", "B"}, true},
        {"A OR B", {"B"}, true},
        {"A Or B", {"C"}, false},
        {"NOT A", {}, true},
        {"not A", {"A"}, false},
        {"A AND NOT B", {"A"}, true},
        {"A AND NOT B", {"A", "B"}, false},
        {"NOT NOT A", {"A"}, true},
        // NOT binds tighter than AND, AND tighter than OR.
        {"NOT A AND B", {}, false},
        {"NOT A AND B", {"B"}, true},
        {"A OR B AND C", {"A"}, true},
        {"A OR B AND C", {"B"}, false},
        {"A OR B AND C", {"C", "B"}, true},
        {"(A OR B) AND C", {"A"}, false},
        {"(A OR B) AND C", {"A", "C"}, true},
        {"NOT (A OR B)", {"C"}, true},
        {"NOT (A OR B)", {"B"}, false},
        {"A AND(B)", {"A", "B"}, true},
        {"\n  A\tAND B\r\n", {"A", "B"}, true},
        // BEFORE compares first responses and binds tighter than AND and OR.
        {"A BEFORE B", {"A", "B"}, true},
        {"A BEFORE B", {"B", "A"}, false},
        {"A BEFORE B", {"A"}, false},
        {"A BEFORE B", {"B"}, false},
        {"A BEFORE B", {"B", "A", "B"}, false},
        {"A BEFORE B", {"A", "B", "A"}, true},
        {"a before b", {"A", "C", "B"}, true},
        {"A BEFORE A", {"A"}, false},
        {"(A) BEFORE B", {"A", "B"}, true},
        {"NOT (A BEFORE B)", {"B", "A"}, true},
        {"NOT (A BEFORE B)", {"A", "B"}, false},
        {"A BEFORE B AND C", {"A", "B", "C"}, true},
        {"A BEFORE B AND C", {"A", "B"}, false},
        {"C OR A BEFORE B", {"B", "A"}, false},
        {"C OR A BEFORE B", {"C"}, true},
        // AND ONLY: nothing beyond the named terms, negated ones included.
        {"A AND B AND ONLY", {"A", "B"}, true},
        {"A AND B AND ONLY", {"B", "A"}, true},
        {"A AND B AND ONLY", {"A", "B", "C"}, false},
        {"A AND B and only", {"A", "B", "c"}, false},
        {"A OR B AND ONLY", {"A"}, true},
        {"A OR B AND ONLY", {"A", "C"}, false},
        {"A OR B AND ONLY", {}, false},
        {"A AND NOT B AND ONLY", {"A"}, true},
        {"A AND NOT B AND ONLY", {"A", "B"}, false},
        {"A AND ONLY", {"A", "A"}, true},
        {"A AND ONLY", {"A", ""}, false},
        // Terms of every dialect are words.
        {"A1B OR B1A", {"b1a"}, true},
        {"A1 AND B12", {"A1", "B12"}, true},
        {"A1 AND B12", {"A1", "B1"}, false},
        // Keys that do not parse are never met.
        {"A AND", {"A"}, false},
        {"NOT A BEFORE B", {"B"}, false},
        {"", {}, false},
    };
    for (const auto& c : cases) {
        std::string given;
        for (const auto& response : c.responses)
            given += "[" + response + "]";
        SCOPED_TRACE(std::string(c.expression) + " with " + given);
        EXPECT_EQ(velm::KeyExpression(c.expression).isMetBy(c.responses), c.met);
    }
}

TEST(KeyExpression, RejectsMalformedText)
{
    const std::pair<const char*, bool> cases[] = {
        {"A", true},
        {"((A))", true},
        {"NOT NOT A", true},
        {"A and only", true},
        {"(A) BEFORE B", true},
        {"ONLY", true},
        {"", false},
        {"   ", false},
        {"AND", false},
        {"A AND", false},
        {"OR A", false},
        {"A B", false},
        {"A OR OR B", false},
        {"(A", false},
        {"A)", false},
        {"()", false},
        {") A (", false},
        {"NOT", false},
        {"A NOT B", false},
        {"A BEFORE", false},
        {"A BEFORE B BEFORE C", false},
        {"NOT A BEFORE B", false},
        {"A BEFORE NOT B", false},
        {"(A OR B) BEFORE C", false},
        {"A BEFORE (B AND C)", false},
        {"AND ONLY", false},
        {"A OR AND ONLY", false},
    };
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
