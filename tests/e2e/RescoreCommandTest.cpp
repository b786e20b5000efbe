#include "CommandTesting.h"

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace command_testing;
using json = nlohmann::json;

std::vector<json> jsonLines(const std::string& text)
{
    std::vector<json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(json::parse(line));
    return lines;
}

const fs::path kItem = fs::path(QUORIN_EXAMPLES_DIR) / "basic-item.xml";

// The responses of the main example ("A AND C AND ONLY" weighs 1) that the tests send, in the
// three forms rescoring accepts, with the counts `velm-host score` gives for each.
const char* const kResponses[] = {"A, C",
                                  "A",
                                  "B",
                                  "C, A",
                                  "<Responses><Response>A</Response><Response>C</Response></Responses>",
                                  "<UserAnswers><A/></UserAnswers>"};

class Rescore : public CommandTest {
protected:
    using Result = CommandRun;

    // Runs a shell command line with velm-host as $VH and the test's own registry and support folder.
    Result sh(const std::string& commandLine)
    {
        const auto script = write("command.sh", commandLine + "\n");
        return shell("VH=" + quoted(std::string(QUORIN_VELM_HOST)) + " VELM_REGISTRY=" + quoted(work_ / "registry")
                     + " SUPPORT=" + quoted(work_ / "support") + " sh " + quoted(script));
    }
    Result rescore(const std::string& arguments)
    {
        return sh("\"$VH\" rescore " + arguments + " --support-dir \"$SUPPORT\"");
    }

    fs::path write(const char* name, const std::string& text)
    {
        std::ofstream(work_ / name, std::ios::binary) << text;
        return work_ / name;
    }

    json scoreOf(const std::string& response)
    {
        const auto result =
            sh("\"$VH\" score " + quoted(kItem) + " --support-dir \"$SUPPORT\" --response " + quoted(response));
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return json::parse(result.out);
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
    const auto lines = jsonLines(result.out);
    ASSERT_EQ(lines.size(), 3000u);
    std::vector<json> expected;
    for (const char* response : kResponses) {
        auto score = scoreOf(response);
        expected.push_back({{"correct", score["correct"]},
                            {"incorrect", score["incorrect"]},
                            {"notAttempted", score["notAttempted"]},
                            {"notScored", score["notScored"]},
                            {"raw", score["raw"]}});
    }
    for (std::size_t i = 1; i <= lines.size(); ++i) {
        const auto& line = lines[i - 1];
        if (i == 1500) {
            EXPECT_EQ(line["line"], 1500);
            EXPECT_EQ(line["id"], 1500);
            EXPECT_EQ(line["error"], "Malformed XML: Start-end tags mismatch at offset 42");
            continue;
        }
        ASSERT_EQ(line["id"], i);
        auto counts = line;
        counts.erase("id");
        ASSERT_EQ(counts, expected[i % std::size(kResponses)])
            << "line " << i << ": " << kResponses[i % std::size(kResponses)];
    }
}

TEST_F(Rescore, CsvInCsvOutWithErrorRowsInTheSameTable)
{
    const auto input = write("responses.csv", "id,response\n7,\"A, C\"\n\"x,\"\"1\"\"\",B\n9\n");
    const auto result = rescore(quoted(kItem) + " " + quoted(input));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "id,correct,incorrect,notAttempted,notScored,raw,line,error\n"
                          "7,1,0,0,0,1,,\n"
                          "\"x,\"\"1\"\"\",0,1,0,0,0,,\n"
                          "9,,,,,,4,\"a record has two fields, id and response\"\n");
    // The same records from standard input, the format named.
    const auto piped = sh("printf 'id,response\\n7,A\\n' | \"$VH\" rescore " + quoted(kItem)
                          + " - --format csv --support-dir \"$SUPPORT\"");
    EXPECT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_EQ(piped.out, "id,correct,incorrect,notAttempted,notScored,raw,line,error\n7,0,1,0,0,0,,\n");
}

TEST_F(Rescore, BadUsageAndAnUnreadableItemExitTwoWithOneLine)
{
    const auto input = write("responses.jsonl", jsonInput(3));
    const auto broken = write("broken.xml", "<MultipleChoiceItem><ItemStem>");
    const struct {
        std::string arguments;
        const char* line;
    } cases[] = {
        {quoted(work_ / "missing.xml") + " " + quoted(input), "velm-host: cannot read "},
        {quoted(kItem) + " " + quoted(work_ / "missing.jsonl"), "velm-host: cannot read the responses "},
        {quoted(kItem) + " " + quoted(input) + " --format xml", "velm-host: --format: "},
        {quoted(broken) + " " + quoted(input), "velm-host: the item "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const auto result = rescore(c.arguments);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.err.rfind(c.line, 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

TEST_F(Rescore, RunUnderGnuParallelAsTheMapStepTheOutputEqualsTheSingleRun)
{
    const auto input = write("responses.jsonl", jsonInput(20000));
    const auto single = rescore(quoted(kItem) + " " + quoted(input));
    ASSERT_EQ(single.exitCode, 0) << single.err;
    const auto parallel = sh("parallel --pipe --keep-order -j 2 --block 64k \"$VH\" rescore " + quoted(kItem)
                             + " --support-dir \"$SUPPORT\" < " + quoted(input));
    ASSERT_EQ(parallel.exitCode, 0) << parallel.err;
    EXPECT_EQ(parallel.out, single.out);
}

}  // namespace
