#include "keyanswers/modSetAnswers.h"
#include "keyanswers/WholeKeyAnswers.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// One object reads every row, so each row also shows that a call starts afresh: a stale "NOT",
// answer list or "DC" twin from the row before would change its result.
TEST(modSetAnswers, CollectsThePositiveTermsOfWellFormedKeys)
{
    // The expression, the type code and the answers collected.
    // clang-format off
    const std::tuple<const char*, const char*, const char*> cases[] = {
        // The worked examples.
        {"A AND B", "MC", "A,B"}, {"a and b", "MC", "A,B"},
        {"   A  AND    B  ", "MC", "A,B"}, {"A AND NOT B", "MC", "A"},
        {"NOT B AND A", "MC", ""}, {"A AND (B OR C)", "MC", "A,B,C"},
        {"(A OR B)AND C", "MC", "A,B,C"}, {"NOT(A) AND B", "MC", "B"},
        {"A OR A", "MC", "A,A"}, {"A OR(B)", "MC", ""},
        {"A AND B)", "MC", ""}, {"AB", "MC", ""},
        {"((A)", "MC", ""}, {"A BEFORE B AND C", "BL", "A BEFORE B,C"},
        {"NOT A BEFORE B", "BL", "A BEFORE B"}, {"(A1B OR B1A)", "DC", "A1B"},
        {"A1B AND B2C", "DC", "A1B,B2C"}, {"A1 AND B12", "CT", "A1,B12"},
        {"1A", "CT", ""}, {"(A)", "XX", ""},
        // Empty and malformed texts.
        {"", "MC", ""}, {"a and(b)", "MC", ""}, {"A AND", "MC", ""}, {"A ANDB", "MC", ""},
        {"NOT NOT A", "MC", ""}, {"()", "MC", ""}, {"( A)", "MC", ""}, {"(A)AND(B)", "MC", ""},
        {"(A) B", "MC", ""}, {"\xC3\x89 AND B", "MC", ""},
        // NOT stays in force to the end of its chain; a closing group ends it.
        {"A AND NOT B AND C", "MC", "A"}, {"NOT (A OR B) AND C", "MC", "C"},
        {"NOT A AND (B) AND C", "MC", "C"}, {"(NOT A AND B) OR C", "MC", "C"},
        {"A OR (NOT B) OR C", "MC", "A,C"},
        // Only ")AND ", " AND(", ")OR " and "NOT(" are opened up, and only in upper case.
        {"A AND(B)", "MC", "A,B"}, {"(A)OR B", "MC", "A,B"}, {"(A)or B", "MC", ""},
        // Order of appearance, inner terms at the place of their group.
        {"A OR (B AND (C OR D)) AND E", "MC", "A,B,C,D,E"},
        // Only the first two characters of the type code count, exactly as written.
        {"A AND B", "MCX", "A,B"}, {"A AND B", "M", ""}, {"A AND B", "mc", ""},
        // "BL": clauses are collected whole, even under NOT; bare letters as in "MC".
        {"A BEFORE B", "BL", "A BEFORE B"}, {"a before b", "BL", "A BEFORE B"},
        {"NOT (A BEFORE B) OR C", "BL", "A BEFORE B,C"}, {"A AND B", "BL", "A,B"},
        {"A BEFORE BC", "BL", ""}, {"AB BEFORE C", "BL", ""},
        // "DC": one entry per undirected link when the twins are joined by OR.
        {"A1B OR B1A", "DC", "A1B"}, {"B1A OR A1B", "DC", "B1A"},
        {"A1B AND B1A", "DC", "A1B,B1A"}, {"(A1B OR B1A) AND C2D", "DC", "A1B,C2D"},
        {"a1b", "DC", "A1B"}, {"AXB", "DC", ""}, {"A1", "DC", ""},
        // "CT": a letter and a number of one or two digits.
        {"(A1) AND B22", "CT", "A1,B22"}, {"A123", "CT", ""}, {"AB", "CT", ""}, {"A", "CT", ""},
    };
    // clang-format on
    quorin::modSetAnswers keys;
    for (const auto& [expression, type, expected] : cases)
        EXPECT_EQ(keys.GetKeyAnswers(expression, type), expected) << expression << " / " << type;
}

// Authors paste whole keys: the window's Set Answers, keys and lint read them the same way.
TEST(wholeKeyAnswers, CutsTheKeyAtItsFirstAndOnlyInAnyCaseAndTellsAMalformedRest)
{
    // The whole key, the answers it names; nothing when the rest is not well formed.
    // clang-format off
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"A AND C AND ONLY", "A,C"}, {"A AND C and only", "A,C"}, {"B And Only AND C", "B"}, {"A AND NOT B", "A"},
        {"NOT A", ""}, {"A AND", std::nullopt}, {"AND ONLY", std::nullopt},
    };
    // clang-format on
    for (const auto& [key, answers] : cases)
        EXPECT_EQ(quorin::wholeKeyAnswers(key, "MC"), answers) << key;
}

// A damaged or hostile key must not exhaust the stack, nor overflow a 16-bit position; its speed
// is the benchmark's to measure.
TEST(modSetAnswers, DeepNestsAndLongChainsParse)
{
    const auto repeated = [](const std::string& text, std::size_t count) {
        std::string result;
        for (std::size_t i = 0; i < count; ++i)
            result += text;
        return result;
    };
    quorin::modSetAnswers keys;
    const auto open = repeated("(", 50000);
    const auto close = repeated(")", 50000);
    EXPECT_EQ(keys.GetKeyAnswers(open + "A" + close, "MC"), "A");
    EXPECT_EQ(keys.GetKeyAnswers(open + "A1" + close + " AND B2", "CT"), "A1,B2");
    EXPECT_EQ(keys.GetKeyAnswers(open + "A" + close.substr(1), "MC"), "");
    EXPECT_EQ(keys.GetKeyAnswers(open + "A" + close + ")", "MC"), "");

    const auto chain = "A" + repeated(" OR B", 20000);
    ASSERT_GE(chain.size(), 100000u);
    EXPECT_EQ(keys.GetKeyAnswers(chain, "MC"), "A" + repeated(",B", 20000));
    EXPECT_EQ(keys.GetKeyAnswers(chain + " AND", "MC"), "");
    EXPECT_EQ(keys.GetKeyAnswers("NOT " + chain + " AND (C) OR D", "MC"), "D");
    EXPECT_EQ(keys.GetKeyAnswers(repeated("(A1B OR B1A) AND ", 6000) + "C2D", "DC"), repeated("A1B,", 6000) + "C2D");
    EXPECT_EQ(keys.GetKeyAnswers(repeated("A BEFORE B OR ", 8000) + "C", "BL"), repeated("A BEFORE B,", 8000) + "C");

    const auto group = "(" + repeated("A OR ", 7000) + "B) AND C";
    ASSERT_GT(group.size(), 32767u);
    EXPECT_EQ(keys.GetKeyAnswers(group, "MC"), repeated("A,", 7000) + "B,C");
}

}  // namespace
