#include "qti/Xhtml.h"

#include <gtest/gtest.h>

namespace quorin::qti {
namespace {

TEST(XhtmlTest, AwkwardHtmlBecomesWellFormedBodyContent)
{
    // The HTML, the body content made of it.
    const std::pair<const char*, const char*> cases[] = {
        {"<html><body><p>Which two?</p><p>Choose two.</p></body></html>", "<p>Which two?</p><p>Choose two.</p>"},
        {"<html><body><p>open<p>second", "<p>open</p><p>second</p>"},
        {"<html><body>a<br>b<img src=\"key-cap.png\"></body></html>", "a<br/>b<img src=\"key-cap.png\" alt=\"\"/>"},
        {"<html><body><b><i>crossed</b></i> tail", "<b><i>crossed</i></b> tail"},
        {"<HTML><BODY><P CLASS=x>Upper</P>", "<p class=\"x\">Upper</p>"},
        {"<html><body>5 &lt; 7 &amp; 7 &gt; 5 &eacute;", "5 &lt; 7 &amp; 7 &gt; 5 \xC3\xA9"},
        {"<html><head><title>t</title><style>p{}</style></head><body><script>x()</script>kept</body></html>", "kept"},
        {"<html><body><font color=red><center>unwrapped</center></font>", "unwrapped"},
        {"<html><body><p onclick=\"x()\" style=\"color:red\" id=\"p1\">attrs</p>", "<p>attrs</p>"},
        {"<html><body><a href=\" JavaScript:alert(1)\">link</a>", "<a>link</a>"},
        {"<html><body><a href=\"\njava&#9;scr&#10;ipt:alert(1)\">link</a>", "<a>link</a>"},
        {"<html><body><a href=\"javascript.html\">page</a>", "<a href=\"javascript.html\">page</a>"},
        {"<html><body><img alt=\"no source\"><form><input value=x></form>", ""},
        {"<html><body>bell\x07", "bell\xEF\xBF\xBD"},
        {"plain text without markup", "plain text without markup"},
        {"<html><body><table><td>cell</table>", "<table><tbody><tr><td>cell</td></tr></tbody></table>"},
        {"", ""},
    };
    for (const auto& [html, xhtml] : cases)
        EXPECT_EQ(Xhtml::bodyOf(html), xhtml) << html;
}

TEST(XhtmlTest, DeepNestingNeitherCrashesNorLosesText)
{
    std::string html = "<html><body>";
    for (int i = 0; i < 20000; ++i)
        html += "<span>";
    html += "deep";
    EXPECT_NE(Xhtml::bodyOf(html).find("deep"), std::string::npos);
}

TEST(XhtmlTest, TextLosesItsMarkup)
{
    EXPECT_EQ(Xhtml::textOf("Fares &amp; <b>times</b><script>x()</script>"), "Fares & times");
}

TEST(XhtmlTest, ImagesAreListedOnce)
{
    pugi::xml_document document;
    auto body = document.append_child("itemBody");
    Xhtml::appendBody("<html><body><img src=\"a.png\"><p><img src=\"b.png\"><img src=\"a.png\"></p>", body);
    EXPECT_EQ(Xhtml::imagesUnder(body), (std::vector<std::string>{"a.png", "b.png"}));
}

}  // namespace
}  // namespace quorin::qti
