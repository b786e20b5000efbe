#include "CommandTesting.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace {

using namespace command_testing;
using json = nlohmann::json;

const fs::path kItem = fs::path(QUORIN_EXAMPLES_DIR) / "basic-item.xml";

// The responses of the main example ("A AND C AND ONLY" weighs 1) that the tests send, in the
// three forms rescoring accepts.
const char* const kResponses[] = {"A, C",
                                  "A",
                                  "B",
                                  "C, A",
                                  "<Responses><Response>A</Response><Response>C</Response></Responses>",
                                  "<UserAnswers><A/></UserAnswers>"};

class Rescore : public CommandTest {
protected:
    // Runs a shell command line with velm-host as $VH and the test's own registry and support folder.
    CommandRun sh(const std::string& commandLine)
    {
        const auto script = write("command.sh", commandLine + "\n");
        return shell("VH=" + quoted(std::string(QUORIN_VELM_HOST)) + " VELM_REGISTRY=" + quoted(work_ / "registry")
                     + " SUPPORT=" + quoted(work_ / "support") + " sh " + quoted(script));
    }
    CommandRun rescore(const std::string& arguments)
    {
        return sh("\"$VH\" rescore " + arguments + " --support-dir \"$SUPPORT\"");
    }

    fs::path write(const char* name, const std::string& text)
    {
        std::ofstream(work_ / name, std::ios::binary) << text;
        return work_ / name;
    }
};

std::string jsonInput(std::size_t count, std::size_t damagedAt = 0)
{
    std::string input;
    for (std::size_t i = 1; i <= count; ++i) {
        const std::string response =
            i == damagedAt ? "<Responses><Response>A</Response>" : kResponses[i % std::size(kResponses)];
        input += json{{"id", i}, {"response", response}}.dump() + "\n";
    }
    return input;
}

TEST_F(Rescore, EveryLineIsScoredAsScoreScoresItInInputOrderAndADamagedLineIsOneErrorRecord)
{
    const auto input = write("responses.jsonl", jsonInput(3000, 1500));
    const auto result = rescore(quoted(kItem) + " " + quoted(input));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "velm-host: 1 of 3000 records could not be scored\n");
    // A record's counts are those `velm-host score` prints for its response.
    std::vector<json> counts;
    for (const char* response : kResponses) {
        auto score = json::parse(
            sh("\"$VH\" score " + quoted(kItem) + " --support-dir \"$SUPPORT\" --response " + quoted(response)).out);
        score.erase("result");
        score.erase("state");
        counts.push_back(score);
    }
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), 3000u);
    for (std::size_t id = 1; id <= lines.size(); ++id) {
        auto expected = id == 1500
                            ? json{{"line", 1500}, {"error", "Malformed XML: Start-end tags mismatch at offset 42"}}
                            : counts[id % std::size(kResponses)];
        expected["id"] = id;
        ASSERT_EQ(lines[id - 1], expected) << "line " << id;
    }
}

TEST_F(Rescore, CsvInCsvOutWithErrorRowsInTheSameTable)
{
    const auto input = write("responses.csv", "id,response\n7,\"A, C\"\n\"x,\"\"1\"\"\",B\n9\n");
    EXPECT_EQ(rescore(quoted(kItem) + " " + quoted(input)),
              (CommandRun{1,
                          "id,correct,incorrect,notAttempted,notScored,raw,line,error\n"
                          "7,1,0,0,0,1,,\n"
                          "\"x,\"\"1\"\"\",0,1,0,0,0,,\n"
                          "9,,,,,,4,\"a record has two fields, id and response\"\n",
                          "velm-host: 1 of 3 records could not be scored\n"}));
    // The same records from standard input, the format named.
    EXPECT_EQ(sh("printf 'id,response\\n7,A\\n' | \"$VH\" rescore " + quoted(kItem)
                 + " - --format csv --support-dir \"$SUPPORT\""),
              (CommandRun{0, "id,correct,incorrect,notAttempted,notScored,raw,line,error\n7,0,1,0,0,0,,\n", ""}));
}

TEST_F(Rescore, BadUsageAndAnUnreadableItemExitTwoWithOneLine)
{
    const auto input = write("responses.jsonl", jsonInput(3));
    const auto broken = write("broken.xml", "<MultipleChoiceItem><ItemStem>");
    const auto missing = work_ / "missing";
    // arguments, message
    const std::pair<std::string, std::string> cases[] = {
        {quoted(missing) + " " + quoted(input), "cannot read " + missing.string() + ": no such file"},
        {quoted(kItem) + " " + quoted(missing), "cannot read the responses " + missing.string()},
        {quoted(kItem) + " " + quoted(input) + " --format xml", "--format: xml not in {json,csv}"},
        {quoted(broken) + " " + quoted(input), "the item " + broken.string() + " could not be initialised"},
    };
    for (const auto& [arguments, message] : cases)
        EXPECT_EQ(rescore(arguments), (CommandRun{2, "", "velm-host: " + message + "\n"}));
}

TEST_F(Rescore, RunUnderGnuParallelAsTheMapStepTheOutputEqualsTheSingleRun)
{
    const auto input = write("responses.jsonl", jsonInput(20000));
    const auto single = rescore(quoted(kItem) + " " + quoted(input));
    ASSERT_EQ(single.exitCode, 0) << single.err;
    const auto parallel = sh("parallel --pipe --keep-order -j 2 --block 64k \"$VH\" rescore " + quoted(kItem)
                             + " --support-dir \"$SUPPORT\" < " + quoted(input));
    EXPECT_EQ(parallel, single);
}

}  // namespace
