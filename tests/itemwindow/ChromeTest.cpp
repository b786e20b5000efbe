#include "ItemWindowTesting.h"

#include "itemwindow/FrameImageList.h"
#include "itemwindow/ImagePaths.h"
#include "platform/Bitmap.h"

#include <fstream>
#include <iterator>

namespace quorin::test {
namespace {

using ChromeTest = ItemWindowTest;
namespace fs = std::filesystem;

constexpr std::int32_t kCalculatorOption = 256;
constexpr std::int32_t kShowAnswersOption = 16;

// A page as the window writes it: the common opening, the rules, the body lines, each line ended
// by CR LF.
std::string page(const Texts& rules, const Texts& body)
{
    std::string text = "<HTML>\r\n<HEAD>\r\n<STYLE>\r\n.Background{#99ccff}\r\n";
    for (const auto& rule : rules)
        text += rule + "\r\n";
    text += "</STYLE>\r\n</HEAD>\r\n<BODY style=\"MARGIN:0px;\" class=\"Background\">\r\n";
    for (const auto& line : body)
        text += line + "\r\n";
    return text + "</BODY>\r\n</HTML>\r\n";
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(ChromeTest, TheFramePagesAreExactlyTheTextsTheBrowsersAreGiven)
{
    open({.heading = "<![CDATA[Question <b>7</b>]]>"});
    const auto dir = (supportDir / "").string();
    const std::string table = "<TABLE cellspacing=0 cellpadding=0 border=0 width=100%>";
    const std::tuple<platform::WebBrowser*, std::string> pages[] = {
        {&window().brwTitle,
         page({".LeftCornerCell{WIDTH:10px; BACKGROUND-IMAGE:url(" + dir + "Left_cornerhdt.bmp);}",
               ".TitleRow{HEIGHT: 27px;}",
               ".TitleCell{BACKGROUND-IMAGE:url(" + dir + "Top_Bar_tilehdt.bmp); BACKGROUND-REPEAT:repeat-x; "
               "PADDING-TOP:3px; PADDING-LEFT:10px; PADDING-BOTTOM:0px; PADDING-RIGHT:0px; COLOR:white; overflow:hidden;}",
               ".Title{FONT-FAMILY:'verdana';FONT-SIZE:10pt;}",
               ".RightCornerCell{WIDTH:10px; BACKGROUND-IMAGE:url(" + dir + "Rt_cornerhdt.bmp);}"},
              {table, "<TR class=\"TitleRow\">", "<TD class=\"LeftCornerCell\"></TD>",
               "<TD id=\"ItemStemHeading\" class=\"TitleCell\"><SPAN class=\"Title\">Question <b>7</b></SPAN></TD>",
               "<TD class=\"RightCornerCell\"></TD>", "</TR>", "</TABLE>"})},
        {&window().brwLeftEdge,
         page({".LeftEdgeRow{}",
               ".LeftEdgeCell{WIDTH:8px; BACKGROUND-IMAGE:url(" + dir
                   + "Left_vert_bar_tilehdt.bmp); BACKGROUND-REPEAT:repeat-y;}"},
              {"<TABLE cellspacing=0 cellpadding=0 border=0 height=100%>",
               "<TR class=\"LeftEdgeRow\"><TD class=\"LeftEdgeCell\"></TD></TR></TABLE>"})},
        {&window().brwRightEdge,
         page({".RightEdgeRow{}",
               ".RightEdgeCell{WIDTH:8px; BACKGROUND-IMAGE:url(" + dir
                   + "Rt_vert_bar_tilehdt.bmp); BACKGROUND-REPEAT:repeat-y;}"},
              {"<TABLE cellspacing=0 cellpadding=0 border=0 height=100%>",
               "<TR class=\"RightEdgeRow\"><TD class=\"RightEdgeCell\"></TD></TR></TABLE>"})},
        {&window().brwBottom,
         page({".BottomLeftCornerCell{WIDTH:10px; BACKGROUND-IMAGE:url(" + dir + "Lt_Lower_Cornerhdt.bmp);}",
               ".BottomRow{HEIGHT: 8px;}",
               ".BottomCell{BACKGROUND-IMAGE:url(" + dir + "Bottom_Tilehdt.bmp); BACKGROUND-REPEAT:repeat-x;}",
               ".BottomRightCornerCell{WIDTH:10px; BACKGROUND-IMAGE:url(" + dir + "Rt_Lower_Cornerhdt.bmp);}"},
              {table, "<TR class=\"BottomRow\">", "<TD class=\"BottomLeftCornerCell\"></TD>",
               "<TD id=\"BottomCellholder\" class=\"BottomCell\"><SPAN>. </SPAN></TD>",
               "<TD class=\"BottomRightCornerCell\"></TD>", "</TR>", "</TABLE>"})},
    };
    for (const auto& [browser, expected] : pages)
        EXPECT_EQ(browser->html(), expected) << browser->Name();
}

TEST_F(ChromeTest, TheButtonBarOffersClearAllAndInstructionsThenTheCalculatorAndSetAnswersWhenAsked)
{
    const auto cell = [](const std::string& id, const std::string& caption) {
        return "<TD class=\"FooterCell\" valign=middle>&nbsp;<Button id=\"" + id + "\" class=\"Button\">" + caption
            + "</Button>&nbsp;</TD>";
    };
    // options, the button cells in order
    const std::pair<std::int32_t, Texts> cases[] = {
        {0, {cell("btnReset", "Clear All"), cell("btnInstructions", "Instructions")}},
        {kShowAnswersOption, {cell("btnReset", "Clear All"), cell("btnInstructions", "Instructions"),
                              cell("btnSetAnswers", "Set Answers")}},
        {kCalculatorOption | kShowAnswersOption,
         {cell("btnReset", "Clear All"), cell("btnInstructions", "Instructions"), cell("btnCalculator", "Calculator"),
          cell("btnSetAnswers", "Set Answers")}},
    };
    for (const auto& [options, cells] : cases) {
        SCOPED_TRACE("options " + std::to_string(options));
        open({}, options);
        Texts body = {"<TABLE cellspacing=0 cellpadding=0 border=0 width=100%>", "<TR class=\"FooterRow\">"};
        body.insert(body.end(), cells.begin(), cells.end());
        body.insert(body.end(), {"<TD class=\"FooterCell\" width=100%></TD>", "</TR>", "</TABLE>"});
        const auto dir = (supportDir / "").string();
        EXPECT_EQ(window().brwButtons.html(),
                  page({".FooterRow{HEIGHT:41px;}",
                        ".FooterCell{BACKGROUND-IMAGE:url(" + dir + "Bottom_bar_tilehdt.bmp); BACKGROUND-REPEAT:repeat-x;}",
                        ".Button{width:97px; height:22px;}", ".Highlighting{BORDER:thin inset white; BACKGROUND:LightGrey}",
                        ".NotHighlighting{BORDER:thin outset white; BACKGROUND:LightGrey}"},
                       body));
    }
}

TEST(RewriteImagePaths, ImagesAskTheDriverFrameBitmapsAndStyleImagesGetTheSupportFolderAndOtherFormsStayAsTheyAre)
{
    Texts asked;
    const GraphicsPathLookup driver = [&](const std::string& reference) {
        asked.push_back(reference);
        return reference == "known.gif" ? std::string("/graphics/known.gif") : std::string();
    };
    // html, the result, the references the driver was asked about
    const std::tuple<std::string, std::string, Texts> cases[] = {
        {R"(<p><img src="known.gif"></p>)", R"(<p><img src="/graphics/known.gif"></p>)", {"known.gif"}},
        {R"(<IMG SRC="known.gif" alt=x>)", R"(<IMG SRC="/graphics/known.gif" alt=x>)", {"known.gif"}},
        {R"(<img src="other.gif">)", R"(<img src="/s/other.gif">)", {"other.gif"}},
        {R"(<img src="Rt_cornerhdt.bmp">)", R"(<img src="/s/Rt_cornerhdt.bmp">)", {}},
        {R"(<img src="a.gif"><img src="b.gif">)", R"(<img src="/s/a.gif"><img src="/s/b.gif">)", {"a.gif", "b.gif"}},
        {"BACKGROUND-IMAGE:url(x.bmp); BACKGROUND-IMAGE:url(y.bmp);",
         "BACKGROUND-IMAGE:url(/s/x.bmp); BACKGROUND-IMAGE:url(/s/y.bmp);", {}},
        {"LIST-STYLE-IMAGE:url(dot.gif);", "LIST-STYLE-IMAGE:url(/s/dot.gif);", {}},
        {"background-image:url(x.bmp);", "background-image:url(x.bmp);", {}},
        // forms the rewriting does not know stay unchanged, and the rewriting ends
        {"<img alt=x>", "<img alt=x>", {}},
        {"<img alt=x><p>src=\"late.gif\"</p>", "<img alt=x><p>src=\"late.gif\"</p>", {}},
        {"<img src=\"open", "<img src=\"open", {}},
        {"<img src=noquote.gif>", "<img src=noquote.gif>", {}},
        {"<img", "<img", {}},
        {"BACKGROUND-IMAGE: none; BACKGROUND-IMAGE", "BACKGROUND-IMAGE: none; BACKGROUND-IMAGE", {}},
        {"BACKGROUND-IMAGE:url(unclosed", "BACKGROUND-IMAGE:url(unclosed", {}},
        {"LIST-STYLE-IMAGE:url(", "LIST-STYLE-IMAGE:url(", {}},
    };
    for (const auto& [html, expected, references] : cases) {
        asked.clear();
        EXPECT_EQ(rewriteImagePaths(html, "/s/", driver), expected) << html;
        EXPECT_EQ(asked, references) << html;
    }
}

TEST_F(ChromeTest, TheFrameBitmapsAreWrittenOnceAndNeverOverwrittenAndReleaseRemovesOnlyThePageFiles)
{
    open({});
    for (const auto tag : FrameImageList::kTags) {
        const auto path = supportDir / (std::string(tag) + "hdt.bmp");
        ASSERT_TRUE(fs::is_regular_file(path)) << tag;
        const auto text = readFile(path);
        EXPECT_EQ(platform::decodeBitmap(std::vector<std::uint8_t>(text.begin(), text.end())), FrameImageList::image(tag))
            << tag;
    }
    item.reset();

    // A later window finds the lower-left corner and writes nothing, even where files are missing
    // or hold something else.
    fs::remove(supportDir / "Rt_cornerhdt.bmp");
    std::ofstream(supportDir / "Bottom_Tilehdt.bmp") << "mine";
    for (const char* name : {"1hdt.htm", "27hdt.htm", "notes.htm"})
        std::ofstream(supportDir / name) << "page";
    open({});
    EXPECT_FALSE(fs::exists(supportDir / "Rt_cornerhdt.bmp"));
    EXPECT_EQ(readFile(supportDir / "Bottom_Tilehdt.bmp"), "mine");
    item->display().FreeExternalDisplay();
    EXPECT_FALSE(fs::exists(supportDir / "1hdt.htm"));
    EXPECT_FALSE(fs::exists(supportDir / "27hdt.htm"));
    EXPECT_TRUE(fs::exists(supportDir / "notes.htm"));
    EXPECT_TRUE(fs::exists(supportDir / "Lt_Lower_Cornerhdt.bmp"));

    // Without the corner every missing bitmap is written; a file that is there is kept.
    item.reset();
    fs::remove(supportDir / "Lt_Lower_Cornerhdt.bmp");
    open({});
    EXPECT_TRUE(fs::exists(supportDir / "Rt_cornerhdt.bmp"));
    EXPECT_TRUE(fs::exists(supportDir / "Lt_Lower_Cornerhdt.bmp"));
    EXPECT_EQ(readFile(supportDir / "Bottom_Tilehdt.bmp"), "mine");
    EXPECT_TRUE(item->errors().empty());
}

}  // namespace
}  // namespace quorin::test
