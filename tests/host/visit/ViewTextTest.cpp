#include "host/visit/ViewText.h"

#include <gtest/gtest.h>

namespace {

using velm::host::plainTextOf;

struct PlainTextCase {
    const char* html;
    const char* text;
};

class PlainText : public ::testing::TestWithParam<PlainTextCase> {};

TEST_P(PlainText, IsWhatAReaderSees)
{
    EXPECT_EQ(plainTextOf(GetParam().html), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PlainText,
    ::testing::Values(
        PlainTextCase{"<html><body><p>One</p><p>Two  words</p></body></html>", "One\nTwo words"},
        PlainTextCase{"<HTML><HEAD><STYLE>.Title{COLOR:white;}</STYLE></HEAD><BODY><SPAN>Question 1</SPAN></BODY></HTML>",
                      "Question 1"},
        PlainTextCase{"a&nbsp;&amp;&lt;b&gt; &quot;c&quot; &#233;&#xE9; &bogus; &", "a &<b> \"c\" \xC3\xA9\xC3\xA9 &bogus; &"},
        PlainTextCase{"line<br>break<!-- <p>hidden</p> -->, <b>bold</b> <script>var x = 1;</script>end",
                      "line\nbreak, bold end"},
        PlainTextCase{"<p>\n  spread\n  over lines\n</p>", "spread over lines"},
        PlainTextCase{"unclosed <tag and text", "unclosed <tag and text"},
        PlainTextCase{"<title>never shown", ""},
        PlainTextCase{"", ""}));

}  // namespace
