#include "platform/TextMetrics.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

using namespace platform;

namespace {

// Expected sizes follow the documented rule: em = points × 20 twips, advance em × 0.5 (bold
// em × 0.55), line height round(em × 1.2).
TEST(TextMetrics, MeasuresOneLinePerLineBreakAndWrapsAtBlanksCuttingLongWords)
{
    const Font arial("Arial", 10);  // advance 100, line 240
    // font, text, wrapping width (none: unwrapped), size
    const std::tuple<Font, std::string, std::optional<std::int32_t>, TextMetrics::Size> cases[] = {
        {Font(), "Abc", {}, {248, 198}},                     // 3 × 82.5 = 247.5
        {Font("Arial", 10, true), "Hello", {}, {550, 240}},  // 5 × 110
        {arial, "ab\r\nabcd", {}, {400, 480}},
        {arial, "ab\nabcd\n", {}, {400, 720}},               // a trailing break opens a line
        {arial, "", {}, {0, 240}},
        {arial, "\xC3\xA9t\xC3\xA9", {}, {300, 240}},        // code points, not bytes
        {Font("Arial", 0), "abc", {}, {0, 0}},
        {arial, "aaa bbb ccc", 700, {700, 480}},             // "aaa bbb" fills 700 exactly
        {arial, "aaa bbb ccc", 699, {300, 720}},
        {arial, "abcdefghij", 400, {400, 720}},              // 4 + 4 + 2
        {arial, "a  b", 1000, {300, 240}},                   // blank runs count once
        {arial, "ab\r\ncd", 1000, {200, 480}},
        {arial, "abc", 0, {100, 720}},                       // at least one character per line
    };
    for (const auto& [font, text, width, size] : cases) {
        EXPECT_EQ(width ? TextMetrics::measureWrapped(font, text, *width) : TextMetrics::measure(font, text), size)
            << text << " @" << width.value_or(-1);
    }
}

}  // namespace
