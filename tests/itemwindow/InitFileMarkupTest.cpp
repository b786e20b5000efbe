#include "companions/InitFileMarkup.h"

#include <gtest/gtest.h>

#include <tuple>

namespace quorin {
namespace {

TEST(InitFileMarkup, DeclarationsAndCommentsGoAndMarkupWithoutItsClosingMarkOrBytesThatAreNotTwoByteTextStay)
{
    const auto text = [](std::string_view utf8) { return vb::bytesFromText(utf8); };
    // the file's bytes, what the exhibit receives
    const std::pair<vb::ByteArray, vb::ByteArray> cases[] = {
        {text("<?xml version=\"1.0\"?><Item/>"), text("<Item/>")},
        {text("<!-- note --><Item/>"), text("<Item/>")},
        {text("<?a?><?b?><!--c--><!d!><Item/>"), text("<Item/>")},
        {text("<Item><![CDATA[x]]></Item>"), text("<Item><![CDATA[x]]></Item>")},  // neither "!>" nor "-->" closes it
        {text("<!DOCTYPE item><Item/>"), text("<!DOCTYPE item><Item/>")},
        {text("<?unclosed <Item/>"), text("<?unclosed <Item/>")},
        {text("<Item/>?><?late?>"), text("<Item/>?>")},  // a closing mark before the opening one closes nothing
        {text("--><!-- real --><Item/>"), text("--><Item/>")},
        {text("<<?x?>?y?>"), text("")},  // the cut joins "<" and "?y?>" into new markup
        {text("<!"), text("<!")},
        {text(""), text("")},
        {{'<', '?', 'x', '?', '>'}, {'<', '?', 'x', '?', '>'}},  // one-byte text: no two-byte "<?" in it
        {{0x3C, 0x00, 0x3F}, {0x3C, 0x00, 0x3F}},  // "<" and a lone byte
        {{0xFF, 0xFE, 0x41, 0x00}, {0xFF, 0xFE, 0x41, 0x00}},
    };
    for (const auto& [bytes, expected] : cases)
        EXPECT_EQ(stripInitFileMarkup(bytes), expected) << vb::textFromBytes(bytes);
}

}  // namespace
}  // namespace quorin
