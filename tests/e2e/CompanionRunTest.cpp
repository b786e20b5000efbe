#include "RunCommandTesting.h"

namespace {

using namespace run_testing;

json calls(std::initializer_list<const char*> names)
{
    auto list = json::array();
    for (const char* name : names)
        list.push_back(name);
    return list;
}

json event(const char* type, int keyCode, bool blocked, bool selectionEmptied = false)
{
    return {{"type", type},
            {"keyCode", keyCode},
            {"cancelBubble", blocked},
            {"returnValue", !blocked},
            {"selectionEmptied", selectionEmptied}};
}

TEST_F(RunCommand, ExhibitsOpenOverTheItemOnceInThreeSecondsAndASelfClosingOneLeavesNoWindow)
{
    const auto result = visit("exhibits-item.xml", "exhibits-visit.script");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.views.size(), 5u);
    constexpr const char* kProgid = "QuorinMultipleChoice.clsMultipleChoice";
    EXPECT_EQ(result.views[0]["exhibits"][0]["tag"], std::string(kProgid) + "|exhibit-fares.xml|False");
    EXPECT_EQ(result.views[0]["exhibits"][1]["tag"], std::string(kProgid) + "|exhibit-timetable.xml|True");

    // The fare table fills the item's rectangle; its child item leaves room for Exit (375
    // twips) and its 50-twip margin below.
    const json fares = {{"open", true},
                        {"visible", true},
                        {"left", 0},
                        {"top", 0},
                        {"width", 9000},
                        {"height", 6000},
                        {"progid", kProgid},
                        {"exitVisible", true},
                        {"child",
                         {{"visible", true},
                          {"left", 0},
                          {"top", 0},
                          {"width", 9000},
                          {"height", 6000 - 375 - 50},
                          {"scaleWidth", 9000},
                          {"scaleHeight", 6000 - 375 - 50}}}};
    EXPECT_EQ(result.views[0]["exhibitWindow"], fares);
    EXPECT_EQ(result.views[2]["exhibitWindow"], nullptr);  // Exit closed it
    // The timetable closes itself: its window stays hidden, without Exit.
    EXPECT_EQ(result.views[3]["exhibitWindow"]["visible"], false);
    EXPECT_EQ(result.views[3]["viewedExhibits"], 2);
    EXPECT_EQ(result.views[4]["viewedAll"], true);
    EXPECT_TRUE(result.views[4]["errors"].empty());
    EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST_F(RunCommand, InstructionsOpenCentredUnderTheirCaptionAndPassOnlyTheDriversAltLetters)
{
    const auto result = visit("instructions-item.xml", "instructions-visit.script");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.views.size(), 8u);
    const auto& instructions = result.views[0]["instructions"];
    // 6000 by 4500 in the middle of the item's 9000 by 6000, under the static caption.
    EXPECT_EQ(instructions["open"], true);
    EXPECT_EQ(instructions["caption"], "Instructions");
    EXPECT_EQ(
        (std::vector<int>{instructions["left"], instructions["top"], instructions["width"], instructions["height"]}),
        (std::vector<int>{1500, 750, 6000, 4500}));
    EXPECT_EQ(result.views[0]["lastEvent"], nullptr);

    // The page's answer to each event reaches the view: the driver's Alt+N passes, a selection is cancelled.
    EXPECT_EQ(result.views[1]["lastEvent"], event("keydown", 78, false));
    EXPECT_EQ(result.views[3]["lastEvent"], event("selectstart", 0, true, true));
    EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST_F(RunCommand, TheCalculatorStartsOnceIsHeldByTheItemAndStartsAgainAfterTheCandidateClosesIt)
{
    const auto result = withScript("button btnCalculator\nbutton btnCalculator\nsnapshot\ncalculator close\nsnapshot\n"
                                   "button btnCalculator\nsnapshot\nleave\nsnapshot\n",
                                   "--options 256 --json");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.views.size(), 5u);
    EXPECT_EQ(result.views[0]["calculator"], (json{{"running", true}, {"captured", true}}));
    // Leaving unloads the item, which closes its calculator.
    EXPECT_EQ(result.views[3]["calculator"], (json{{"running", false}, {"captured", false}}));

    const auto gone = withScript("calculator close\n", "--json");
    EXPECT_EQ(gone.exitCode, 0);
    EXPECT_EQ(gone.err, "velm-host: script line 1: no calculator runs: calculator close\n");
}

TEST_F(RunCommand, ACaseStudyGetsItsCallsInOrderAndGivesTheQuestionTheRightOfTheRectangle)
{
    const auto result = visit("case-study-item.xml", "case-study-visit.script");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.views.size(), 3u);
    const auto bound = calls({"DisplayInt_SetParentWnd", "InitCaseStudy", "getCaseParent",
                              "DisplayInt_ShowExternalDisplay", "QuestionSize"});
    // 9000 wide: the passage keeps 9000 - 4950.
    EXPECT_EQ(result.views[0]["caseStudy"],
              (json{{"bound", true}, {"calls", bound}, {"questionRect", {4050, 0, 4950, 6000}}}));
    EXPECT_EQ(result.views[0]["window"]["left"], 4050);
    EXPECT_EQ(result.views[0]["window"]["width"], 4950);
    // In a case study the frame is the case study's: no title, edges or bottom strip.
    EXPECT_EQ(result.views[0]["controls"]["brwTitle"]["visible"], false);

    EXPECT_EQ(result.views[1]["statusMessage"], "Case study viewed: Harbour freight ledger");
    EXPECT_EQ(result.views[1]["status"], 2);

    EXPECT_TRUE(result.views[2]["errors"].empty());
    EXPECT_TRUE(result.err.empty()) << result.err;
}

TEST_F(RunCommand, AMissingCaseFileIsTheMessageAndAPlainItemAndTheCaseFolderIsSearched)
{
    const auto folder = work_ / "items";
    fs::create_directories(folder);
    fs::copy_file(example("case-study-item.xml"), folder / "item.xml");
    const auto plain = run(quoted(folder / "item.xml") + " --json --support-dir " + quoted(work_ / "support"));
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const auto& view = plain.views.back();
    EXPECT_EQ(view["messages"], json::array({message("Can't find case study for this item.  Looking for C12", 0, 1)}));
    EXPECT_EQ(view["caseStudy"], nullptr);
    EXPECT_EQ(view["window"]["width"], 9000);

    const auto found = run(quoted(folder / "item.xml") + " --json --case-dir " + quoted(fs::path(QUORIN_EXAMPLES_DIR))
                           + " --support-dir " + quoted(work_ / "support"));
    ASSERT_EQ(found.exitCode, 0) << found.err;
    EXPECT_TRUE(found.views.back()["messages"].empty());
    EXPECT_EQ(found.views.back()["caseStudy"]["bound"], true);
}

}  // namespace
