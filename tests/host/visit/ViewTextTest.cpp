#include "host/visit/ViewText.h"

#include <gtest/gtest.h>

namespace {

using velm::host::plainTextOf;

TEST(PlainText, IsWhatAReaderSees)
{
    const std::pair<const char*, const char*> cases[] = {
        {"<html><body><p>One</p><p>Two  words</p></body></html>", "One\nTwo words"},
        {"<HTML><HEAD><STYLE>.Title{COLOR:white;}</STYLE></HEAD><BODY><SPAN>Question 1</SPAN></BODY></HTML>",
         "Question 1"},
        {"a&nbsp;&amp;&lt;b&gt; &quot;c&quot; &#233;&#xE9; &bogus; &", "a &<b> \"c\" \xC3\xA9\xC3\xA9 &bogus; &"},
        {"line<br>break<!-- <p>hidden</p> -->, <b>bold</b> <script>var x = 1;</script>end", "line\nbreak, bold end"},
        {"<p>\n  spread\n  over lines\n</p>", "spread over lines"},
        {"unclosed <tag and text", "unclosed <tag and text"},
        {"<title>never shown", ""},
        {"", ""},
    };
    for (const auto& [html, text] : cases)
        EXPECT_EQ(plainTextOf(html), text) << html;
}

}  // namespace
