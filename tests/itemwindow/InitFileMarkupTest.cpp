#include "companions/InitFileMarkup.h"

#include <gtest/gtest.h>

#include <tuple>

namespace quorin {
namespace {

TEST(InitFileMarkup, DeclarationsAndCommentsGoAndMarkupWithoutItsClosingMarkStays)
{
    // the file's text, what the exhibit receives
    const std::pair<std::string, std::string> cases[] = {
        {"<?xml version=\"1.0\"?><Item/>", "<Item/>"},
        {"<!-- note --><Item/>", "<Item/>"},
        {"<?a?><?b?><!--c--><!d!><Item/>", "<Item/>"},
        {"<Item><![CDATA[x]]></Item>", "<Item><![CDATA[x]]></Item>"},  // neither "!>" nor "-->" closes it
        {"<!DOCTYPE item><Item/>", "<!DOCTYPE item><Item/>"},
        {"<?unclosed <Item/>", "<?unclosed <Item/>"},
        {"<Item/>?><?late?>", "<Item/>?>"},  // a closing mark before the opening one closes nothing
        {"--><!-- real --><Item/>", "--><Item/>"},
        {"<<?x?>?y?>", ""},  // the cut joins "<" and "?y?>" into new markup
        {"<!", "<!"},
        {"", ""},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(vb::textFromBytes(stripInitFileMarkup(vb::bytesFromText(text))), expected) << text;
}

TEST(InitFileMarkup, BytesThatAreNotTwoByteTextPassUnchangedAndAnOddLastByteStays)
{
    const vb::ByteArray cases[] = {
        {'<', '?', 'x', '?', '>'},  // one-byte text: no two-byte "<?" in it
        {0x3C, 0x00, 0x3F},  // "<" and a lone byte
        {0xFF, 0xFE, 0x41, 0x00},
    };
    for (const auto& bytes : cases)
        EXPECT_EQ(stripInitFileMarkup(bytes), bytes);
}

}  // namespace
}  // namespace quorin
