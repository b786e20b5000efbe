#include "platform/TextMetrics.h"

#include <gtest/gtest.h>

#include <string>

using namespace platform;

namespace {

// Expected sizes follow the documented rule: em = points × 20 twips, advance em × 0.5 (bold
// em × 0.55), line height round(em × 1.2).
TEST(TextMetrics, MeasuresOneLinePerLineBreak)
{
    struct Case {
        Font font;
        std::string text;
        TextMetrics::Size expected;
    };
    const Case cases[] = {
        {Font(), "Abc", {248, 198}},                          // 3 × 82.5 = 247.5
        {Font("Arial", 10, true), "Hello", {550, 240}},       // 5 × 110
        {Font("Arial", 10), "ab\r\nabcd", {400, 480}},
        {Font("Arial", 10), "ab\nabcd\n", {400, 720}},         // a trailing break opens a line
        {Font("Arial", 10), "", {0, 240}},
        {Font("Arial", 10), "\xC3\xA9t\xC3\xA9", {300, 240}},  // code points, not bytes
        {Font("Arial", 0), "abc", {0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(TextMetrics::measure(c.font, c.text), c.expected);
    }
}

TEST(TextMetrics, WrapsAtBlanksAndCutsLongWords)
{
    const Font font("Arial", 10);  // advance 100, line 240
    struct Case {
        std::string text;
        std::int32_t width;
        TextMetrics::Size expected;
    };
    const Case cases[] = {
        {"aaa bbb ccc", 700, {700, 480}},  // "aaa bbb" fills 700 exactly
        {"aaa bbb ccc", 699, {300, 720}},
        {"abcdefghij", 400, {400, 720}},   // 4 + 4 + 2
        {"a  b", 1000, {300, 240}},        // blank runs count once
        {"ab\r\ncd", 1000, {200, 480}},
        {"abc", 0, {100, 720}},            // at least one character per line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " @" + std::to_string(c.width));
        EXPECT_EQ(TextMetrics::measureWrapped(font, c.text, c.width), c.expected);
    }
}


}  // namespace
