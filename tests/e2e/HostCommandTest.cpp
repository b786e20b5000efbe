#include "CommandTesting.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace command_testing;

// Runs velm-host as an integrator would, with a registry file of the test's own.
class HostCommand : public CommandTest {
protected:
    // input: a shell fragment that feeds the standard input ("cat FILE |"), out: where the standard output goes.
    CommandRun run(const std::string& arguments, const std::string& input = "", const std::string& out = "")
    {
        return shell(input + " " + host() + " " + arguments + " --support-dir " + quoted(work_ / "support"), out);
    }

    const std::string item_ = quoted(fs::path(QUORIN_EXAMPLES_DIR) / "basic-item.xml");
    const std::string state_ = quoted(fs::path(QUORIN_EXAMPLES_DIR) / "basic-state.xml");
};

// The saved bytes replace an older, longer file whole, and leave nothing beside it.
TEST_F(HostCommand, InspectPrintsWhatTheDriverReceivesAndSavedStateBytesRestoreIt)
{
    const auto saved = work_ / "state.bin";
    std::ofstream(saved) << std::string(1000, 'x');
    const auto first = run("inspect " + item_ + " --state " + state_ + " --save-state-bytes " + quoted(saved));
    ASSERT_EQ(first.exitCode, 0) << first.err;
    EXPECT_EQ(
        first.out,
        R"({"stateBytes":252,"state":"<State><Responses><Response>A</Response><Response>C</Response></Responses><ItemAreaScroll>False</ItemAreaScroll></State>",)"
        R"("status":100,"responses":{"0":{"bytes":138,"text":"<Answers><Answer Expression=\"A AND C AND ONLY\" Weight=\"1\"/></Answers>"},)"
        R"("1":{"bytes":256,"text":"<Visited><cmdShowQuestion/></Visited><ItemType><MC/></ItemType><UserAnswers><Answer Value=\"A\"/><Answer Value=\"C\"/></UserAnswers>"}},)"
        R"("score":{"result":true,"correct":1,"incorrect":0,"notAttempted":0,"notScored":0,"raw":1},)"
        R"("scoreInfo":{"result":true,"items":1,"max":1,"min":0},"errors":[],)"
        // Never shown, the item area was never seen: the status tells the candidate so.
        R"("messages":["Please scroll to the end of the question before you go on."]})"
        "\n");
    const auto bytes = readAll(saved);
    ASSERT_EQ(bytes.size(), 252u);
    EXPECT_EQ(bytes.substr(240), std::string(12, '\0'));
    for (const auto& entry : fs::directory_iterator(work_))
        EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos)
            << "left behind: " << entry.path();

    EXPECT_EQ(run("inspect " + item_ + " --state-bytes " + quoted(saved)), first);
}

TEST_F(HostCommand, DamagedStateBytesAreReportedAndTheItemKeepsItsState)
{
    const auto damaged = work_ / "damaged.bin";
    std::ofstream(damaged, std::ios::binary) << "\x01\x02\x03 not a state";
    const auto result = run("inspect " + item_ + " --state-bytes " + quoted(damaged));
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(R"("state":"<State><Responses/><ItemAreaScroll>False</ItemAreaScroll></State>")"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find(R"("routine":"SetExternalStateArray")"), std::string::npos) << result.out;
}

// Each response form is the component's to read (its own tests show them); here the command prints
// the outcome, and a blank response is no answer: the candidate counts as not attempted.
TEST_F(HostCommand, ScorePrintsTheRescoredOutcome)
{
    const char* const blank =
        R"("correct":0,"incorrect":0,"notAttempted":1,"notScored":1,"raw":0,"state":"<State><Responses/></State>")";
    const std::pair<const char*, const char*> cases[] = {
        {"'A, C,'", R"("correct":1,"incorrect":0,"notAttempted":0,"notScored":0,"raw":1,)"
                    R"("state":"<State><Responses><Response>A</Response><Response>C</Response></Responses></State>")"},
        {"''", blank},
        {"'  '", blank},
    };
    for (const auto& [response, fields] : cases)
        EXPECT_EQ(run("score " + item_ + " --response " + response),
                  (CommandRun{0, std::string(R"({"result":true,)") + fields + "}\n", ""}));
}

// What the driver sees from one command: its exit code and its one line on stderr.
struct FailureCase {
    std::string arguments;
    int exitCode;
    std::string err;
    std::string input = "";
    std::string out = "";
};

TEST_F(HostCommand, EveryFailureIsOneLineNamingItAndAnHonestExitCode)
{
    const auto folder = work_ / "folder";
    const auto pipe = work_ / "pipe";
    const auto empty = work_ / "empty.xml";
    const auto truncated = work_ / "truncated.xml";
    const auto damaged = work_ / "damaged.xml";
    fs::create_directories(folder);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::ofstream{empty};
    std::ofstream(truncated) << readAll(fs::path(QUORIN_EXAMPLES_DIR) / "basic-item.xml").substr(0, 300);
    std::ofstream(damaged) << "not an item";
    const std::string throughFile = quoted(fs::path(QUORIN_EXAMPLES_DIR) / "basic-item.xml" / "state.xml");
    const std::string emptyItemFailed = "velm-host: the item failed to initialise: Malformed XML: No document element "
                                        "found at offset 0 (error -2147221503 in InitExternalDisplay)\n";
    const auto missing = work_ / "missing.xml";
    const auto noSuchFile = "velm-host: cannot read " + missing.string() + ": no such file\n";
    std::vector<FailureCase> cases{
        {"inspect " + quoted(missing), 2, noSuchFile},
        {"score " + quoted(missing) + " --response A", 2, noSuchFile},
        {"inspect " + item_ + " --static " + quoted(missing), 2, noSuchFile},
        {"inspect " + item_ + " --state " + quoted(missing), 2, noSuchFile},
        {"inspect " + item_ + " --options many", 2, "velm-host: Could not convert: --options = many\n"},
        {"score " + item_, 2, "velm-host: --response is required\n"},
        {"inspect", 2, "velm-host: ITEM is required\n"},
        {"inspect " + item_ + " --state " + quoted(folder), 2,
         "velm-host: cannot read " + folder.string() + ": it is a folder\n"},
        {"inspect " + item_ + " --state-bytes " + quoted(pipe), 2,
         "velm-host: cannot read " + pipe.string()
             + ": it is a pipe, not a file (give - to read the standard input)\n"},
        {"inspect /dev/stdin", 2,
         "velm-host: cannot read /dev/stdin: it is a pipe, not a file (give - to read the standard input)\n",
         "cat " + item_ + " |"},
        {"inspect " + item_ + " --state-bytes " + throughFile, 2,
         "velm-host: cannot read " + throughFile.substr(1, throughFile.size() - 2) + ": Not a directory\n"},
        {"inspect - --state -", 2, "velm-host: only one input can be read from the standard input: -\n",
         "cat " + item_ + " |"},
        {"inspect " + quoted(empty), 1, emptyItemFailed},
        {"score " + quoted(empty) + " --response A", 1, emptyItemFailed},
        {"demo " + quoted(empty), 1, emptyItemFailed},
        {"inspect " + quoted(truncated), 1,
         "velm-host: the item failed to initialise: Malformed XML: Error parsing start "
         "element tag at offset 299 (error -2147221503 in InitExternalDisplay)\n"},
        {"demo " + quoted(damaged), 1,
         "velm-host: the item failed to initialise: Malformed XML: Text outside an "
         "element at offset 0 (error -2147221503 in InitExternalDisplay)\n"},
        {"inspect " + item_ + " --save-state-bytes /dev/full", 2,
         "velm-host: cannot write /dev/full: no space left on the device\n"},
        {"inspect " + item_ + " --save-state-bytes " + quoted(folder), 2,
         "velm-host: cannot write " + folder.string() + ": it is a folder\n"},
        {"inspect " + item_, 2, "velm-host: cannot write the standard output\n", "", "/dev/full"},
        {"frob " + item_, 2,
         "velm-host: unknown subcommand frob (the subcommands are keys, demo, inspect, score, run, rescore, lint, "
         "serve, qti)\n"},
    };
    // Permissions bind everyone but the superuser, who reads every file.
    if (::geteuid() != 0) {
        const auto locked = work_ / "locked.xml";
        std::ofstream(locked) << readAll(fs::path(QUORIN_EXAMPLES_DIR) / "basic-state.xml");
        fs::permissions(locked, fs::perms::none);
        cases.push_back({"inspect " + item_ + " --state " + quoted(locked), 2,
                         "velm-host: cannot read " + locked.string() + ": permission denied\n"});
        cases.push_back(
            {"inspect " + quoted(locked), 2, "velm-host: cannot read " + locked.string() + ": permission denied\n"});
    }
    for (const auto& c : cases)
        EXPECT_EQ(run(c.arguments, c.input, c.out), (CommandRun{c.exitCode, "", c.err})) << c.arguments;
}

TEST_F(HostCommand, AnInputNamedDashIsTheStandardInput)
{
    const auto fromFiles = run("inspect " + item_ + " --state " + state_);
    ASSERT_EQ(fromFiles.exitCode, 0) << fromFiles.err;
    for (const auto& [arguments, input] : {std::pair{"inspect - --state " + state_, "cat " + item_ + " |"},
                                           std::pair{"inspect " + item_ + " --state -", "cat " + state_ + " |"}})
        EXPECT_EQ(run(arguments, input), fromFiles) << arguments;
}

TEST_F(HostCommand, DemoTellsOneVisit)
{
    const auto result = run("demo " + item_ + " --state " + state_);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* line :
         {"initialised: yes\n", "item window: handle ", "inside the driver's window, visible\n", "candidate: A, C\n",
          "answer status: 100\n", "score: correct 1, incorrect 0, not attempted 0, not scored 0, raw 1\n",
          "\"routine\":\"FreeExternalDisplay\",\"text\":\"End\"}\n"})
        EXPECT_NE(result.out.find(line), std::string::npos) << line << " in\n" << result.out;
}

// Without a home the driver's folder is one in the temporary folder, and only its user's own.
TEST_F(HostCommand, WithoutAHomeTheSupportFolderIsThisUsersAlone)
{
    const auto temporary = work_ / "tmp";
    fs::create_directories(temporary);
    const auto command = "env -u HOME -u XDG_CACHE_HOME TMPDIR=" + quoted(temporary) + " " + host() + " score " + item_
                         + " --response A";
    ASSERT_EQ(shell(command).exitCode, 0) << readAll(work_ / "err");
    const auto own = temporary / ("velm-host-" + std::to_string(getuid()));
    EXPECT_EQ(fs::status(own).permissions() & fs::perms::all, fs::perms::owner_all);
    fs::permissions(own, fs::perms::all);  // as a folder another user made first would be
    const auto refused = shell(command);
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("is not this user's own folder"), std::string::npos) << refused.err;
}

}  // namespace

// A QTI item runs wherever ours does, imported in memory, and scores by its own rules.
TEST_F(HostCommand, AQtiItemScoresByItsOwnRules)
{
    const auto items = fs::path(QUORIN_TESTS_DIR).parent_path() / "qti" / "items";
    // Its fixed choices among shuffled ones are let through only when asked for.
    const auto unfixed = run("score " + quoted(items / "v22-images-fixed.xml") + " --response B --allow-unfixed");
    EXPECT_NE(unfixed.out.find(R"("raw":1,)"), std::string::npos) << unfixed.out << unfixed.err;
    const auto inspected = run("inspect " + quoted(items / "v22-map-multiple.xml"));
    EXPECT_NE(inspected.out.find(R"("scoreInfo":{"result":true,"items":1,"max":2,"min":0})"), std::string::npos)
        << inspected.out;
    EXPECT_TRUE(fs::is_regular_file(work_ / "support" / "table.png"));

    const auto refused = run("score " + quoted(items / "v22-images-fixed.xml") + " --response B");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("refused: fixed choices among shuffled ones"), std::string::npos) << refused.err;
    EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 1);
}
