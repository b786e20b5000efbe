#include "CommandTesting.h"

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace command_testing;

const fs::path kBroken = fs::path(QUORIN_TESTS_DIR) / "lint";

struct Result {
    int exitCode = -1;
    std::vector<std::string> lines;
    std::string err;
};

class Lint : public CommandTest {
protected:
    // Runs velm-host lint from the folder, so the findings name files as given.
    Result lint(const std::string& arguments, const fs::path& folder)
    {
        const auto run = shell("cd " + quoted(folder) + " && " + host() + " lint " + arguments);
        Result result{run.exitCode, {}, run.err};
        std::istringstream out(run.out);
        for (std::string line; std::getline(out, line);)
            result.lines.push_back(line);
        return result;
    }
};

TEST_F(Lint, TheExamplesAreClean)
{
    const auto result = lint(".", QUORIN_EXAMPLES_DIR);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(result.lines.empty()) << result.lines.front();
}

// QTI items are linted as the items they import to; one that cannot come in is one error.
TEST_F(Lint, OurQtiItemsAreCleanOnceTheirFixedChoicesMayShuffle)
{
    const auto items = fs::path(QUORIN_TESTS_DIR).parent_path() / "qti" / "items";
    const auto strict = lint(".", items);
    EXPECT_EQ(strict.exitCode, 1);
    EXPECT_EQ(strict.lines,
              std::vector<std::string>{"./v22-images-fixed.xml: error: refused: fixed choices among "
                                       "shuffled ones (all or none are shuffled here; --allow-unfixed accepts it)"});
    const auto unfixed = lint("--allow-unfixed .", items);
    EXPECT_EQ(unfixed.exitCode, 0) << unfixed.err;
    EXPECT_TRUE(unfixed.lines.empty()) << unfixed.lines.front();
}

TEST_F(Lint, EachBrokenItemReportsItsOneFaultAtItsLine)
{
    const auto result = lint(".", kBroken.parent_path() / "lint");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "velm-host: 15 errors in 17 items\n");
    // Written from the items: each differs from good.xml in one place (utf16- also in its encoding).
    const std::vector<std::string> expected = {
        "./bad-weight.xml:14: error: Weight \"heavy\" is not a number",
        "./duplicate-id.xml:10: error: AnswerID \"A\" is given twice",
        "./malformed-key.xml:14: error: the key \"A AND\" is not well formed or names no answer",
        "./max-zero.xml:8: error: Max must be a whole number of at least 1, not \"0\"",
        "./min-too-big.xml:8: error: Min 4 is more than Max or the number of choices",
        "./missing-exhibit.xml:8: error: the exhibit's init file \"map.xml\" is not in the resources folder",
        "./missing-id.xml:10: error: a Choice without AnswerID",
        "./missing-image.xml:5: error: the stem shows the image \"nowhere.png\", which the resources folder lacks",
        "./missing-instructions-image.xml:17: error: the instructions shows the image \"gone.png\", which the "
        "resources folder lacks",
        "./no-positive-weight.xml:13: error: no answer key has a positive weight",
        "./not-html.xml:10: warning: choice 2 does not begin with \"<html>\": the candidate sees nothing of it",
        "./not-well-formed.xml:15: error: not well-formed XML: Start-end tags mismatch",
        "./unknown-id-key.xml:14: error: the key \"A AND D AND ONLY\" names D, which no choice has",
        "./unknown-language.xml:2: error: the static strings have no language \"XYZ\"",
        "./unreachable-key.xml:13: error: no key with a positive weight can be chosen within Max 1",
        "./utf16-bad-weight.xml:14: error: Weight \"heavy\" is not a number",
    };
    EXPECT_EQ(result.lines, expected);
}

TEST_F(Lint, TheStaticStringsMustHoldALetterForEveryChoiceAndEveryTextTheComponentAsksFor)
{
    const auto result = lint("good.xml --static ../lint-short-static.xml --json", kBroken);
    EXPECT_EQ(result.exitCode, 1);
    std::vector<std::string> messages;
    for (const auto& line : result.lines) {
        const auto finding = nlohmann::json::parse(line);
        EXPECT_EQ(finding["file"], "good.xml");
        EXPECT_EQ(finding["line"], 2);
        EXPECT_EQ(finding["severity"], "error");
        messages.push_back(finding["message"]);
    }
    // The component itself misses the calculator's caption when it builds the button bar; that
    // report stands for the fault, which is not reported a second time.
    EXPECT_EQ(messages,
              (std::vector<std::string>{
                  "the component reports error -2147221494 in GetStaticMsg: Static node not found, cmdCalculator",
                  "the static strings of ENU have no letter for choice 3",
                  "the static strings of ENU lack the message msgClearAll"}));
}

TEST_F(Lint, OneErrorIsEnoughToExitOne)
{
    const auto result = lint("max-zero.xml", kBroken);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "velm-host: 1 error in 1 item\n");
    EXPECT_EQ(result.lines,
              (std::vector<std::string>{"max-zero.xml:8: error: Max must be a whole number of at least 1, not \"0\""}));
}

TEST_F(Lint, APathThatIsNotThereIsOneLineAndExitTwo)
{
    const auto result = lint("good.xml nowhere", kBroken);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "velm-host: no such file or folder: nowhere\n");
    EXPECT_TRUE(result.lines.empty());
}

}  // namespace
