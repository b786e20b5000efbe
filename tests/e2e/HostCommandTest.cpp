#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

struct CommandRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string readAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// Runs velm-host as an integrator would, with a registry file of the test's own.
class HostCommand : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(work_); }
    void TearDown() override { fs::remove_all(work_); }

    CommandRun run(const std::string& arguments)
    {
        const auto command = "VELM_REGISTRY=" + quoted(work_ / "registry") + " " + quoted(QUORIN_VELM_HOST) + " " + arguments
            + " --support-dir " + quoted(work_ / "support") + " >" + quoted(work_ / "out") + " 2>" + quoted(work_ / "err");
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readAll(work_ / "out"), readAll(work_ / "err")};
    }

    const fs::path work_ = fs::temp_directory_path() / ("velm-e2e-" + std::to_string(::getpid()) + "-"
                                                        + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    const std::string item_ = quoted(fs::path(QUORIN_EXAMPLES_DIR) / "basic-item.xml");
    const std::string state_ = quoted(fs::path(QUORIN_EXAMPLES_DIR) / "basic-state.xml");
};

TEST_F(HostCommand, InspectPrintsWhatTheDriverReceivesAndSavedStateBytesRestoreIt)
{
    const auto saved = work_ / "state.bin";
    const auto first = run("inspect " + item_ + " --state " + state_ + " --save-state-bytes " + quoted(saved));
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(first.out,
              R"({"stateBytes": 252, "state": "<State><Responses><Response>A</Response><Response>C</Response></Responses><ItemAreaScroll>False</ItemAreaScroll></State>", )"
              R"("status": 100, "responses": {"0": {"bytes": 138, "text": "<Answers><Answer Expression=\"A AND C AND ONLY\" Weight=\"1\"/></Answers>"}, )"
              R"("1": {"bytes": 256, "text": "<Visited><cmdShowQuestion/></Visited><ItemType><MC/></ItemType><UserAnswers><Answer Value=\"A\"/><Answer Value=\"C\"/></UserAnswers>"}}, )"
              R"("score": {"result": true, "correct": 1, "incorrect": 0, "notAttempted": 0, "notScored": 0, "raw": 1}, )"
              R"("scoreInfo": {"result": true, "items": 1, "max": 1, "min": 0}, "errors": [], )"
              // Never shown, the item area was never seen: the status tells the candidate so.
              R"("messages": ["Please scroll to the end of the question before you go on."]})"
              "\n");
    const auto bytes = readAll(saved);
    ASSERT_EQ(bytes.size(), 252u);
    EXPECT_EQ(bytes.substr(240), std::string(12, '\0'));

    const auto second = run("inspect " + item_ + " --state-bytes " + quoted(saved));
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, first.out);
}

TEST_F(HostCommand, DamagedStateBytesAreReportedAndTheItemKeepsItsState)
{
    const auto damaged = work_ / "damaged.bin";
    std::ofstream(damaged, std::ios::binary) << "\x01\x02\x03 not a state";
    const auto result = run("inspect " + item_ + " --state-bytes " + quoted(damaged));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(R"("state": "<State><Responses/><ItemAreaScroll>False</ItemAreaScroll></State>")"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(R"("routine": "SetExternalStateArray")"), std::string::npos) << result.out;
}

// Each response form is the component's to read (its own tests show them); here the command prints the outcome.
TEST_F(HostCommand, ScorePrintsTheRescoredOutcome)
{
    const auto result = run("score " + item_ + " --response 'A, C,'");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, R"({"result": true, "correct": 1, "incorrect": 0, "notAttempted": 0, "notScored": 0, "raw": 1, )"
                          R"("state": "<State><Responses><Response>A</Response><Response>C</Response></Responses></State>"})"
                          "\n");
}

TEST_F(HostCommand, BadFilesAndOptionsGiveOneLineAndExitTwo)
{
    const auto missing = quoted(work_ / "missing.xml");
    for (const auto& arguments : {"inspect " + missing, "score " + missing + " --response A",
                                  "inspect " + item_ + " --static " + missing, "inspect " + item_ + " --options many",
                                  "inspect " + item_ + " --state " + missing, "score " + item_, std::string("inspect")}) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << arguments << ": " << result.err;
        EXPECT_TRUE(result.out.empty()) << arguments;
    }
}

TEST_F(HostCommand, DemoTellsOneVisit)
{
    const auto result = run("demo " + item_ + " --state " + state_);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line : {"initialised: yes\n", "item window: handle ", "inside the driver's window, visible\n",
                             "candidate: A, C\n", "answer status: 100\n",
                             "score: correct 1, incorrect 0, not attempted 0, not scored 0, raw 1\n",
                             "\"routine\": \"FreeExternalDisplay\", \"text\": \"End\"}\n"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << " in\n" << result.out;
}

}  // namespace
