#include "vb/Text.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

const fs::path kHost = QUORIN_VELM_HOST;
const fs::path kExamples = QUORIN_EXAMPLES_DIR;

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

// Runs velm-host as an integrator would, with a registry file of the test's own.
class HostCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        work_ = fs::temp_directory_path() / ("velm-e2e-" + std::to_string(::getpid()) + "-"
                                             + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(work_);
    }
    void TearDown() override { fs::remove_all(work_); }

    CommandRun run(const std::string& arguments)
    {
        const auto errFile = work_ / "stderr.txt";
        const std::string command = "VELM_REGISTRY='" + (work_ / "registry").string() + "' '" + kHost.string() + "' "
            + arguments + " --support-dir '" + (work_ / "support").string() + "' 2>'" + errFile.string() + "'";
        CommandRun result;
        FILE* pipe = ::popen(command.c_str(), "r");
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            result.out.append(buffer, n);
        const int status = ::pclose(pipe);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = readAll(errFile);
        return result;
    }

    std::string example(const char* name) const { return "'" + (kExamples / name).string() + "'"; }
    fs::path work_;
};

TEST_F(HostCommand, InspectPrintsWhatTheDriverReceives)
{
    const auto result = run("inspect " + example("basic-item.xml") + " --state " + example("basic-state.xml"));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out,
              R"({"stateBytes": 176, "state": "<State><Responses><Response>A</Response><Response>C</Response></Responses></State>", )"
              R"("status": 100, "responses": {"0": {"bytes": 138, "text": "<Answers><Answer Expression=\"A AND C AND ONLY\" Weight=\"1\"/></Answers>"}, )"
              R"("1": {"bytes": 256, "text": "<Visited><cmdShowQuestion/></Visited><ItemType><MC/></ItemType><UserAnswers><Answer Value=\"A\"/><Answer Value=\"C\"/></UserAnswers>"}}, )"
              R"("score": {"result": true, "correct": 1, "incorrect": 0, "notAttempted": 0, "notScored": 0, "raw": 1}, )"
              R"("scoreInfo": {"result": true, "items": 1, "max": 1, "min": 0}, "errors": [], "messages": []})"
              "\n");
}

TEST_F(HostCommand, SavedStateBytesRestoreTheSameState)
{
    const auto saved = work_ / "state.bin";
    const auto first = run("inspect " + example("basic-item.xml") + " --state " + example("basic-state.xml")
                           + " --save-state-bytes '" + saved.string() + "'");
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const auto bytes = readAll(saved);
    ASSERT_EQ(bytes.size(), 176u);
    EXPECT_EQ(bytes.substr(164), std::string(12, '\0'));

    const auto second = run("inspect " + example("basic-item.xml") + " --state-bytes '" + saved.string() + "'");
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out, first.out);
}

TEST_F(HostCommand, DamagedStateBytesAreReportedAndTheItemKeepsItsState)
{
    const auto damaged = work_ / "damaged.bin";
    std::ofstream(damaged, std::ios::binary) << "\x01\x02\x03 not a state";
    const auto result = run("inspect " + example("basic-item.xml") + " --state-bytes '" + damaged.string() + "'");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(R"("state": "<State><Responses/></State>")"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(R"("routine": "SetExternalStateArray")"), std::string::npos) << result.out;
}

TEST_F(HostCommand, ScoreRescoresEachResponseForm)
{
    struct Case {
        const char* response;
        const char* expected;
    };
    const Case cases[] = {
        {"A, C,", R"({"result": true, "correct": 1, "incorrect": 0, "notAttempted": 0, "notScored": 0, "raw": 1, )"
                  R"("state": "<State><Responses><Response>A</Response><Response>C</Response></Responses></State>"})"},
        {"A,,C", R"({"result": true, "correct": 0, "incorrect": 1, "notAttempted": 0, "notScored": 0, "raw": 0, )"
                 R"("state": "<State><Responses><Response>A</Response><Response/><Response>C</Response></Responses></State>"})"},
        {"<Responses><Response>C</Response><Response>A</Response></Responses>",
         R"({"result": true, "correct": 1, "incorrect": 0, "notAttempted": 0, "notScored": 0, "raw": 1, )"
         R"("state": "<State><Responses><Response>C</Response><Response>A</Response></Responses></State>"})"},
        {"<UserAnswers><Answer Value=\"A\"/></UserAnswers>",
         R"({"result": true, "correct": 0, "incorrect": 1, "notAttempted": 0, "notScored": 0, "raw": 0, )"
         R"("state": "<State><Responses><Response>A</Response></Responses></State>"})"},
    };
    for (const auto& c : cases) {
        const auto result = run("score " + example("basic-item.xml") + " --response '" + c.response + "'");
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.out, std::string(c.expected) + "\n") << c.response;
    }
}

TEST_F(HostCommand, BadFilesAndOptionsGiveOneLineAndExitTwo)
{
    const std::string missing = "'" + (work_ / "missing.xml").string() + "'";
    const std::string cases[] = {
        "inspect " + missing,
        "score " + missing + " --response A",
        "inspect " + example("basic-item.xml") + " --static " + missing,
        "inspect " + example("basic-item.xml") + " --options many",
        "inspect " + example("basic-item.xml") + " --state " + missing,
        "score " + example("basic-item.xml"),
        "inspect",
    };
    for (const auto& arguments : cases) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << arguments << ": " << result.err;
        EXPECT_TRUE(result.out.empty()) << arguments;
    }
}

TEST_F(HostCommand, DemoTellsOneVisit)
{
    const auto result = run("demo " + example("basic-item.xml") + " --state " + example("basic-state.xml"));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line : {"initialised: yes\n", "item window: handle ", "inside the driver's window, visible\n",
                             "candidate: A, C\n", "answer status: 100\n",
                             "score: correct 1, incorrect 0, not attempted 0, not scored 0, raw 1\n",
                             "\"routine\": \"FreeExternalDisplay\", \"text\": \"End\"}\n"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << " in\n" << result.out;
}

}  // namespace
