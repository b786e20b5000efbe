#include "ItemWindowTesting.h"

#include "itemwindow/FrameImageList.h"
#include "itemwindow/ImagePaths.h"
#include "platform/Bitmap.h"
#include "vb/Strings.h"

#include <fstream>

namespace quorin::test {
namespace {

using ChromeTest = ItemWindowTest;
namespace fs = std::filesystem;

constexpr std::int32_t kCalculatorOption = 256;
constexpr std::int32_t kShowAnswersOption = 16;

using velm::host::readFileText;

// The frame pages, and the button bar under each set of options, must be these texts to the
// character: frame-pages.html holds them with LF line ends and {support} for the support folder.
TEST_F(ChromeTest, TheFramePagesAndTheButtonBarsAreExactlyTheExpectedTexts)
{
    const auto support = (supportDir / "").string();
    std::string pages;
    for (const std::int32_t options : {0, kShowAnswersOption, kCalculatorOption | kShowAnswersOption}) {
        open({.heading = "<![CDATA[Question <b>7</b>]]>"}, options);
        auto& form = window();
        if (options == 0)
            for (const auto* browser : {&form.brwTitle, &form.brwLeftEdge, &form.brwRightEdge, &form.brwBottom})
                pages += "== " + browser->Name() + " ==\r\n" + browser->html();
        pages += "== brwButtons with options " + std::to_string(options) + " ==\r\n" + form.brwButtons.html();
    }
    const auto expected = readFileText(fs::path(QUORIN_ITEMWINDOW_TESTS_DIR) / "frame-pages.html");
    EXPECT_EQ(pages, vb::replaceAll(vb::replaceAll(expected, "\n", "\r\n"), "{support}", support));
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
         "BACKGROUND-IMAGE:url(/s/x.bmp); BACKGROUND-IMAGE:url(/s/y.bmp);",
         {}},
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
        const auto text = readFileText(path);
        EXPECT_EQ(platform::decodeBitmap(std::vector<std::uint8_t>(text.begin(), text.end())),
                  FrameImageList::image(tag))
            << tag;
    }
    item.reset();

    // A later window finds the lower-left corner and writes nothing, even where files are missing
    // or hold something else.
    fs::remove(supportDir / "Rt_cornerhdt.bmp");
    std::ofstream(supportDir / "Bottom_Tilehdt.bmp") << "mine";
    for (const char* name : {"1hdt.htm", "27hdt.htm", "notes.htm"})
        std::ofstream(supportDir / name) << "page";
    const auto held = [&](const char* name) { return fs::exists(supportDir / name); };
    open({});
    EXPECT_EQ((std::tuple{held("Rt_cornerhdt.bmp"), readFileText(supportDir / "Bottom_Tilehdt.bmp")}),
              (std::tuple{false, "mine"}));
    item->display().FreeExternalDisplay();
    EXPECT_EQ((std::tuple{held("1hdt.htm"), held("27hdt.htm"), held("notes.htm"), held("Lt_Lower_Cornerhdt.bmp")}),
              (std::tuple{false, false, true, true}));

    // Without the corner every missing bitmap is written; a file that is there is kept.
    item.reset();
    fs::remove(supportDir / "Lt_Lower_Cornerhdt.bmp");
    open({});
    EXPECT_EQ((std::tuple{held("Rt_cornerhdt.bmp"), held("Lt_Lower_Cornerhdt.bmp"),
                          readFileText(supportDir / "Bottom_Tilehdt.bmp"), item->errors().empty()}),
              (std::tuple{true, true, "mine", true}));
}

}  // namespace
}  // namespace quorin::test
