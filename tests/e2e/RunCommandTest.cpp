#include "RunCommandTesting.h"

namespace {

using namespace run_testing;

constexpr const char* kMaxMessage =
    "You may choose no more than 2 answers. Clear one of your answers before you choose another.";
constexpr const char* kClearAllQuestion = "Do you want to clear every answer you have chosen for this question?";

TEST_F(RunCommand, TheLastLineWithoutAScriptHoldsEveryField)
{
    const auto result = run(quoted(example("basic-item.xml")) + " --json --support-dir " + quoted(work_ / "support"));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.views.size(), 1u);
    const auto& last = result.views.back();
    for (const char* field : {"window", "pages", "controls", "choices", "exhibits", "state", "responses", "status",
                              "viewedAll", "score", "messages", "errors", "log"})
        EXPECT_TRUE(last.contains(field)) << field;
    // The final object asks the status itself: nothing is chosen of an item needing two answers.
    EXPECT_EQ(last["status"], 2);
    EXPECT_EQ(last["viewedAll"], true);
    EXPECT_EQ(last["window"]["visible"], true);
    EXPECT_TRUE(last["errors"].empty());
    EXPECT_TRUE(result.err.empty()) << result.err;
}

// The rules themselves are the item window's to prove; here each snapshot carries what the driver reads.
TEST_F(RunCommand, EverySnapshotCarriesTheChoicesTheResponsesAndEveryMessageSoFar)
{
    const auto result = visit("basic-item.xml", "several-answers-visit.script");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.views.size(), 5u);
    EXPECT_EQ(valuesOf(result.views[1]), (std::vector<int>{0, 1, 1, 0}));
    EXPECT_EQ(responsesOf(result.views[1]), "<Responses><Response>C</Response><Response>B</Response></Responses>");
    EXPECT_EQ(result.views[3]["messages"],
              (json{message(kMaxMessage, 0, 1), message(kClearAllQuestion, 1, 2), message(kClearAllQuestion, 1, 1)}));
    EXPECT_EQ(responsesOf(result.views[3]), "<Responses/>");
    EXPECT_EQ(result.views[4]["score"]["notAttempted"], 1);
}

TEST_F(RunCommand, LeaveHandsTheDriverTheSavedStateAndReturnShowsTheSameItemAgain)
{
    const auto result = visit("random-order-item.xml", "random-order-visit.script");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.views.size(), 4u);
    const auto& [first, away, back] = std::tie(result.views[0], result.views[1], result.views[2]);
    EXPECT_NE(first["state"].get<std::string>().find("<RandomOrder>"), std::string::npos) << first["state"];
    // While the display is left the driver holds the saved state and no window is shown.
    EXPECT_EQ(away["window"]["visible"], false);
    EXPECT_TRUE(away["choices"].empty());
    EXPECT_EQ(away["state"], first["state"]);
    EXPECT_EQ(back["choices"], first["choices"]);
    EXPECT_EQ(responsesOf(back), responsesOf(first));
}

TEST_F(RunCommand, ShowAnswersOffersSetAnswersAndWithoutItTheScriptIsToldThereIsNoSuchButton)
{
    const auto shown = visit("basic-item.xml", "show-answers-visit.script", "--options 16");
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_EQ(valuesOf(shown.views.front()), (std::vector<int>{1, 0, 1, 0}));
    const auto plain = visit("basic-item.xml", "show-answers-visit.script");
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(valuesOf(plain.views.front()), (std::vector<int>{0, 1, 0, 0}));
    EXPECT_EQ(plain.err, "velm-host: script line 3: no button btnSetAnswers on the bar: button btnSetAnswers\n");
}

TEST_F(RunCommand, ABadScriptLineIsOneLineAndExitTwoBeforeAnythingRuns)
{
    const struct {
        const char* script;
        const char* message;
    } cases[] = {
        {"click A\njump 3\n", "velm-host: script line 2: unknown action \"jump\": jump 3\n"},
        {"# set up\nresize 0,0,9000\n",
         "velm-host: script line 2: a rectangle is L,T,W,H in twips, W and H not negative: resize 0,0,9000\n"},
    };
    for (const auto& bad : cases) {
        const auto result = withScript(bad.script, "--json");
        EXPECT_EQ(result.exitCode, 2) << bad.script;
        EXPECT_EQ(result.err, bad.message);
        EXPECT_TRUE(result.out.empty()) << bad.script << result.out;
    }
}

TEST_F(RunCommand, BadOptionsAreOneLineAndExitTwo)
{
    const auto item = quoted(example("basic-item.xml"));
    for (const auto& arguments :
         {item + " --rect 0,0,-5,100", item + " --rect 0,0,9000,-1", item + " --rect wide", item + " --answer maybe",
          item + " --script " + quoted(work_ / "missing.script"), item + " --state-in " + quoted(work_ / "missing.xml"),
          quoted(work_ / "missing.xml")}) {
        const auto result = run(arguments + " --support-dir " + quoted(work_ / "support"));
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_EQ(lineCount(result.err), 1) << arguments << ": " << result.err;
        EXPECT_TRUE(result.out.empty()) << arguments;
    }
}

TEST_F(RunCommand, AnItemThatFailsToInitialiseExitsOneAfterShowingItsErrors)
{
    const auto brokenStatic = work_ / "static.xml";
    std::ofstream(brokenStatic) << "0";
    const auto result = withScript("click A\nstatus\n", "--json --static " + quoted(brokenStatic));
    EXPECT_EQ(result.exitCode, 1);
    ASSERT_EQ(lineCount(result.out), 1) << result.out;
    const auto view = json::parse(result.out);
    EXPECT_EQ(view["window"]["visible"], false);
    EXPECT_EQ(view["status"], nullptr);
    ASSERT_EQ(view["errors"].size(), 1u);
    EXPECT_EQ(view["errors"][0]["description"], "Missing Static information");
    EXPECT_EQ(view["errors"][0]["routine"], "InitExternalDisplay");
    EXPECT_NE(result.err.find("velm-host: the item failed to initialise\n"), std::string::npos) << result.err;
}

TEST_F(RunCommand, TheScriptComesFromStandardInputAndTheStateIsHandedBackFirst)
{
    const auto result = run(quoted(example("basic-item.xml")) + " --script - --json --state-in "
                                + quoted(example("basic-state.xml")) + " --support-dir " + quoted(work_ / "support"),
                            "", "click C\nkey d\nsnapshot\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    ASSERT_EQ(result.views.size(), 2u);
    EXPECT_EQ(valuesOf(result.views[0]), (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ(responsesOf(result.views[0]), "<Responses><Response>A</Response><Response>D</Response></Responses>");
}

TEST_F(RunCommand, TheSupportFolderDefaultsToTheUsersCacheAndKeepsTheFrameBitmaps)
{
    const auto cache = work_ / "cache";
    const auto result = run(quoted(example("basic-item.xml")) + " --json", "XDG_CACHE_HOME=" + quoted(cache));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto folder = cache / "velm" / "support";
    EXPECT_TRUE(fs::is_regular_file(folder / "Lt_Lower_Cornerhdt.bmp"));
    const std::string bottom = result.views.back()["pages"]["brwBottom"];
    EXPECT_NE(bottom.find("url(" + (folder / "Bottom_Tilehdt.bmp").string() + ");"), std::string::npos) << bottom;
}

TEST_F(RunCommand, TheTextViewShowsWhatTheCandidateSees)
{
    const auto result = withScript("click A\nclick C\nclick B\nsnapshot\n");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto snapshot = result.out.substr(0, result.out.find("== at the end =="));
    for (const char* line :
         {"== snapshot at line 4 ==\n", "window: shown at 0,0 9000x6000\n", "Question 1\n",
          "  Which two of these are prime numbers?\n  Choose two answers.\n",
          "  [x] A. 2\n  [ ] B. 4\n  [x] C. 7\n  [ ] D. 9\n",
          "buttons: [Clear All] (btnReset) [Instructions] (btnInstructions)\n",
          "messages:\n  - You may choose no more than 2 answers. Clear one of your answers before you choose another. "
          "(answered OK)\n",
          "status: not asked\n", "score: correct 1, incorrect 0, not attempted 0, not scored 0, raw 1\n"})
        EXPECT_NE(snapshot.find(line), std::string::npos) << line << " in\n" << snapshot;
    EXPECT_NE(result.out.find("status: 100, viewedAll: true\n"), std::string::npos) << result.out;
}

}  // namespace
