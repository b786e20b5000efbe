#include "CommandTesting.h"

#include <string>

namespace {

using namespace command_testing;

const fs::path kBroken = fs::path(QUORIN_TESTS_DIR) / "lint";

class Lint : public CommandTest {
protected:
    // Runs velm-host lint from the folder, so the findings name files as given.
    CommandRun lint(const std::string& arguments, const fs::path& folder)
    {
        return shell("cd " + quoted(folder) + " && " + host() + " lint " + arguments);
    }
};

// Each run: the findings printed, the summary on the standard error and the exit code.
TEST_F(Lint, EachRunPrintsItsFindingsAndExitsOneForAnyError)
{
    const auto qti = fs::path(QUORIN_TESTS_DIR).parent_path() / "qti" / "items";
    const auto finding = [](const std::string& message) {
        return R"({"file":"good.xml","line":2,"severity":"error","message":")" + message + "\"}\n";
    };
    // arguments, folder, exit code, standard error, standard output
    const std::tuple<std::string, fs::path, int, std::string, std::string> cases[] = {
        {".", QUORIN_EXAMPLES_DIR, 0, "", ""},
        // QTI items are linted as the items they import to; one that cannot come in is one error.
        {".", qti, 1, "velm-host: 1 error in 6 items\n",
         "./v22-images-fixed.xml: error: refused: fixed choices among shuffled ones (all or none are shuffled here; "
         "--allow-unfixed accepts it)\n"},
        {"--allow-unfixed .", qti, 0, "", ""},
        {"max-zero.xml", kBroken, 1, "velm-host: 1 error in 1 item\n",
         "max-zero.xml:8: error: Max must be a whole number of at least 1, not \"0\"\n"},
        {"good.xml nowhere", kBroken, 2, "velm-host: no such file or folder: nowhere\n", ""},
        // Written from the items: each differs from good.xml in one place (utf16- also in its encoding).
        {".", kBroken, 1, "velm-host: 15 errors in 17 items\n",
         "./bad-weight.xml:14: error: Weight \"heavy\" is not a number\n"
         "./duplicate-id.xml:10: error: AnswerID \"A\" is given twice\n"
         "./malformed-key.xml:14: error: the key \"A AND\" is not well formed or names no answer\n"
         "./max-zero.xml:8: error: Max must be a whole number of at least 1, not \"0\"\n"
         "./min-too-big.xml:8: error: Min 4 is more than Max or the number of choices\n"
         "./missing-exhibit.xml:8: error: the exhibit's init file \"map.xml\" is not in the resources folder\n"
         "./missing-id.xml:10: error: a Choice without AnswerID\n"
         "./missing-image.xml:5: error: the stem shows the image \"nowhere.png\", which the resources folder lacks\n"
         "./missing-instructions-image.xml:17: error: the instructions shows the image \"gone.png\", which the "
         "resources folder lacks\n"
         "./no-positive-weight.xml:13: error: no answer key has a positive weight\n"
         "./not-html.xml:10: warning: choice 2 does not begin with \"<html>\": the candidate sees nothing of it\n"
         "./not-well-formed.xml:15: error: not well-formed XML: Start-end tags mismatch\n"
         "./unknown-id-key.xml:14: error: the key \"A AND D AND ONLY\" names D, which no choice has\n"
         "./unknown-language.xml:2: error: the static strings have no language \"XYZ\"\n"
         "./unreachable-key.xml:13: error: no key with a positive weight can be chosen within Max 1\n"
         "./utf16-bad-weight.xml:14: error: Weight \"heavy\" is not a number\n"},
        // The component itself misses the calculator's caption when it builds the button bar; that report
        // stands for the fault, which is not reported a second time.
        {"good.xml --static ../lint-short-static.xml --json", kBroken, 1, "velm-host: 3 errors in 1 item\n",
         finding("the component reports error -2147221494 in GetStaticMsg: Static node not found, cmdCalculator")
             + finding("the static strings of ENU have no letter for choice 3")
             + finding("the static strings of ENU lack the message msgClearAll")},
    };
    for (const auto& [arguments, folder, exitCode, err, out] : cases)
        EXPECT_EQ(lint(arguments, folder), (CommandRun{exitCode, out, err})) << arguments << " in " << folder;
}

}  // namespace
