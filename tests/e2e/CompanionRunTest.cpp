#include "RunCommandTesting.h"

namespace {

using namespace run_testing;

TEST_F(RunCommand, ExhibitsOpenOverTheItemOnceInThreeSecondsAndASelfClosingOneLeavesNoWindow)
{
    const auto result = visit("exhibits-item.xml", "exhibits-visit.script");
    ASSERT_EQ((std::tuple{result.exitCode, result.err, result.views.size()}), (std::tuple{0, "", 5u}));
    // The fare table fills the item's rectangle; its child item leaves room for Exit (375 twips) and its
    // 50-twip margin below. Exit closes it; the timetable closes itself, its window hidden, without Exit.
    EXPECT_EQ(seen(result.views, "0/exhibits/0/tag 0/exhibits/1/tag 0/exhibitWindow 2/exhibitWindow "
                                 "3/exhibitWindow/visible 3/viewedExhibits 4/viewedAll 4/errors"),
              R"(["QuorinMultipleChoice.clsMultipleChoice|exhibit-fares.xml|False",
                  "QuorinMultipleChoice.clsMultipleChoice|exhibit-timetable.xml|True",
                  {"open":true, "visible":true, "left":0, "top":0, "width":9000, "height":6000,
                   "progid":"QuorinMultipleChoice.clsMultipleChoice", "exitVisible":true,
                   "child":{"visible":true, "left":0, "top":0, "width":9000, "height":5575,
                            "scaleWidth":9000, "scaleHeight":5575}},
                  null, false, 2, true, []])"_json);
}

TEST_F(RunCommand, InstructionsOpenCentredUnderTheirCaptionAndPassOnlyTheDriversAltLetters)
{
    const auto result = visit("instructions-item.xml", "instructions-visit.script");
    ASSERT_EQ((std::tuple{result.exitCode, result.err, result.views.size()}), (std::tuple{0, "", 8u}));
    // 6000 by 4500 in the middle of the item's 9000 by 6000, under the static caption; the page's answer to
    // each event reaches the view: the driver's Alt+N passes, a selection is cancelled.
    EXPECT_EQ(seen(result.views, "0/instructions/open 0/instructions/caption 0/instructions/left 0/instructions/top "
                                 "0/instructions/width 0/instructions/height 0/lastEvent 1/lastEvent 3/lastEvent"),
              R"([true, "Instructions", 1500, 750, 6000, 4500, null,
                  {"type":"keydown", "keyCode":78, "cancelBubble":false, "returnValue":true, "selectionEmptied":false},
                  {"type":"selectstart", "keyCode":0, "cancelBubble":true, "returnValue":false,
                   "selectionEmptied":true}])"_json);
}

TEST_F(RunCommand, TheCalculatorStartsOnceIsHeldByTheItemAndStartsAgainAfterTheCandidateClosesIt)
{
    const auto result = withScript("button btnCalculator\nbutton btnCalculator\nsnapshot\ncalculator close\nsnapshot\n"
                                   "button btnCalculator\nsnapshot\nleave\nsnapshot\n",
                                   "--options 256 --json");
    ASSERT_EQ((std::tuple{result.exitCode, result.err, result.views.size()}), (std::tuple{0, "", 5u}));
    // Leaving unloads the item, which closes its calculator.
    EXPECT_EQ(seen(result.views, "0/calculator 3/calculator"),
              R"([{"running":true, "captured":true}, {"running":false, "captured":false}])"_json);

    const auto gone = withScript("calculator close\n", "--json");
    EXPECT_EQ(gone.exitCode, 0);
    EXPECT_EQ(gone.err, "velm-host: script line 1: no calculator runs: calculator close\n");
}

TEST_F(RunCommand, ACaseStudyGetsItsCallsInOrderAndGivesTheQuestionTheRightOfTheRectangle)
{
    const auto result = visit("case-study-item.xml", "case-study-visit.script");
    ASSERT_EQ((std::tuple{result.exitCode, result.err, result.views.size()}), (std::tuple{0, "", 3u}));
    // 9000 wide: the passage keeps 9000 - 4950. In a case study the frame is the case study's: no title,
    // edges or bottom strip.
    EXPECT_EQ(
        seen(result.views,
             "0/caseStudy 0/window/left 0/window/width 0/controls/brwTitle/visible 1/statusMessage 1/status 2/errors"),
        R"([{"bound":true, "questionRect":[4050, 0, 4950, 6000],
                   "calls":["DisplayInt_SetParentWnd", "InitCaseStudy", "getCaseParent",
                            "DisplayInt_ShowExternalDisplay", "QuestionSize"]},
                  4050, 4950, false, "Case study viewed: Harbour freight ledger", 2, []])"_json);
}

TEST_F(RunCommand, AMissingCaseFileIsTheMessageAndAPlainItemAndTheCaseFolderIsSearched)
{
    const auto folder = work_ / "items";
    fs::create_directories(folder);
    fs::copy_file(example("case-study-item.xml"), folder / "item.xml");
    const auto plain = run(quoted(folder / "item.xml") + " --json --support-dir " + quoted(work_ / "support"));
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(seen(plain.views, "0/messages 0/caseStudy 0/window/width"),
              R"([[{"text":"Can't find case study for this item.  Looking for C12", "style":0, "answer":1}],
                  null, 9000])"_json);

    const auto found = run(quoted(folder / "item.xml") + " --json --case-dir " + quoted(fs::path(QUORIN_EXAMPLES_DIR))
                           + " --support-dir " + quoted(work_ / "support"));
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_EQ(seen(found.views, "0/messages 0/caseStudy/bound"), R"([[], true])"_json);
}

}  // namespace
