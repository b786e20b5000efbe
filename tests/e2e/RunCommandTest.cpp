#include "RunCommandTesting.h"

namespace {

using namespace run_testing;

TEST_F(RunCommand, TheLastLineWithoutAScriptHoldsEveryField)
{
    const auto result = run(quoted(example("basic-item.xml")) + " --json --support-dir " + quoted(work_ / "support"));
    ASSERT_EQ((std::tuple{result.exitCode, result.err, result.views.size()}), (std::tuple{0, "", 1u}));
    const auto& last = result.views.back();
    for (const char* field : {"window", "pages", "controls", "choices", "exhibits", "state", "responses", "status",
                              "viewedAll", "score", "messages", "errors", "log"})
        EXPECT_TRUE(last.contains(field)) << field;
    // The final object asks the status itself: nothing is chosen of an item needing two answers.
    EXPECT_EQ(seen(result.views, "0/status 0/viewedAll 0/window/visible 0/errors"), R"([2, true, true, []])"_json);
}

// The rules themselves are the item window's to prove; here each snapshot carries what the driver reads.
TEST_F(RunCommand, EverySnapshotCarriesTheChoicesTheResponsesAndEveryMessageSoFar)
{
    const auto result = visit("basic-item.xml", "several-answers-visit.script");
    ASSERT_EQ((std::tuple{result.exitCode, result.err, result.views.size()}), (std::tuple{0, "", 5u}));
    EXPECT_EQ(valuesOf(result.views[1]), (std::vector<int>{0, 1, 1, 0}));
    EXPECT_EQ(responsesOf(result.views[1]), "<Responses><Response>C</Response><Response>B</Response></Responses>");
    EXPECT_EQ(result.views[3]["messages"], R"([
        {"text": "You may choose no more than 2 answers. Clear one of your answers before you choose another.",
         "style": 0, "answer": 1},
        {"text": "Do you want to clear every answer you have chosen for this question?", "style": 1, "answer": 2},
        {"text": "Do you want to clear every answer you have chosen for this question?", "style": 1, "answer": 1}])"_json);
    EXPECT_EQ(responsesOf(result.views[3]), "<Responses/>");
    EXPECT_EQ(result.views[4]["score"]["notAttempted"], 1);
}

TEST_F(RunCommand, LeaveHandsTheDriverTheSavedStateAndReturnShowsTheSameItemAgain)
{
    const auto result = visit("random-order-item.xml", "random-order-visit.script");
    ASSERT_EQ((std::tuple{result.exitCode, result.err, result.views.size()}), (std::tuple{0, "", 4u}));
    const auto& [first, back] = std::tie(result.views[0], result.views[2]);
    EXPECT_NE(first["state"].get<std::string>().find("<RandomOrder>"), std::string::npos) << first["state"];
    // While the display is left the driver holds the saved state and no window is shown.
    EXPECT_EQ(seen(result.views, "1/window/visible 1/choices 1/state 2/choices"),
              (json{false, json::array(), first["state"], first["choices"]}));
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

// A bad option or script line is found before anything runs; the script's rules are the parser's to prove.
TEST_F(RunCommand, ABadOptionOrScriptLineIsOneLineAndExitTwo)
{
    const auto item = quoted(example("basic-item.xml"));
    const std::string rect = "a rectangle is L,T,W,H in twips, W and H not negative: ";
    const auto missing = [this](const char* name) { return (work_ / name).string(); };
    // arguments, script, message
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {item, "click A\njump 3\n", "script line 2: unknown action \"jump\": jump 3"},
        {item + " --rect 0,0,-5,100", "", "--rect: " + rect + "0,0,-5,100"},
        {item + " --answer maybe", "", "--answer: maybe not in {ok,cancel}"},
        {item + " --script " + quoted(missing("gone.script")), "",
         "cannot read " + missing("gone.script") + ": no such file"},
        {item + " --state-in " + quoted(missing("gone.xml")), "",
         "cannot read " + missing("gone.xml") + ": no such file"},
        {quoted(missing("gone.xml")), "", "cannot read " + missing("gone.xml") + ": no such file"},
    };
    for (const auto& [arguments, script, message] : cases) {
        std::ofstream(work_ / "visit.script") << script;
        const auto scriptOption = script.empty() ? std::string() : " --script " + quoted(work_ / "visit.script");
        EXPECT_EQ(run(arguments + scriptOption + " --json --support-dir " + quoted(work_ / "support")),
                  (CommandRun{2, "", "velm-host: " + message + "\n"}))
            << arguments + script;
    }
}

TEST_F(RunCommand, AnItemThatFailsToInitialiseExitsOneAfterShowingItsErrors)
{
    const auto brokenStatic = work_ / "static.xml";
    std::ofstream(brokenStatic) << "0";
    const auto result = withScript("click A\nstatus\n", "--json --static " + quoted(brokenStatic));
    EXPECT_EQ(result.exitCode, 1);
    ASSERT_EQ(result.views.size(), 1u) << result.out;
    EXPECT_EQ(seen(result.views, "0/window/visible 0/status 0/errors/0/description 0/errors/0/routine 0/errors/1"),
              R"([false, null, "Missing Static information", "InitExternalDisplay", null])"_json);
    EXPECT_NE(result.err.find("velm-host: the item failed to initialise\n"), std::string::npos) << result.err;
}

TEST_F(RunCommand, TheScriptComesFromStandardInputAndTheStateIsHandedBackFirst)
{
    const auto result = run(quoted(example("basic-item.xml")) + " --script - --json --state-in "
                                + quoted(example("basic-state.xml")) + " --support-dir " + quoted(work_ / "support"),
                            "", "click C\nkey d\nsnapshot\n");
    ASSERT_EQ((std::tuple{result.exitCode, result.err, result.views.size()}), (std::tuple{0, "", 2u}));
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
