#include "CommandTesting.h"

namespace {

using namespace command_testing;

class Qti : public CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        std::ofstream(work_ / "before.xml")
            << "<MultipleChoiceItem><Choices Max=\"2\"><Choice AnswerID=\"A\">a</Choice>"
               "<Choice AnswerID=\"B\">b</Choice></Choices><Answers><Answer>A BEFORE B</Answer>"
               "</Answers></MultipleChoiceItem>";
        std::ofstream(work_ / "broken.xml")
            << "<qti-assessment-item xmlns=\"http://www.imsglobal.org/xsd/imsqtiasi_v3p0\">";
        std::ofstream(work_ / "plain.zip") << "not a zip";
    }

    // Runs velm-host from the work folder with the examples at "examples".
    CommandRun run(const std::string& arguments)
    {
        return shell("cd " + quoted(work_) + " && ln -sfn " + quoted(QUORIN_EXAMPLES_DIR) + " examples && " + host()
                     + " " + arguments);
    }
};

TEST_F(Qti, EachOutcomeHasItsLineAndExitCode)
{
    // arguments, the run expected
    const std::pair<const char*, CommandRun> cases[] = {
        {"qti export examples/basic-item.xml --out x --version 2.2",
         {0, "examples/basic-item.xml: exported as x/basic-item.xml\n1 item: 1 exported, 0 refused\n", ""}},
        {"qti export before.xml examples/single-answer-item.xml --out x",
         {1,
          "before.xml: refused: the key \"A BEFORE B\" orders its responses (BEFORE); a choice response has no "
          "order\nexamples/single-answer-item.xml: exported as x/single-answer-item.xml\n2 items: 1 exported, 1 "
          "refused\n",
          "velm-host: 1 item refused\n"}},
        {"qti import broken.xml --out y",
         {1, "broken.xml: refused: malformed XML: Start-end tags mismatch at byte 72\n1 item: 0 imported, 1 refused\n",
          "velm-host: 1 item refused\n"}},
        {"qti import plain.zip --out y", {2, "", "velm-host: plain.zip: not a readable zip: Not a zip archive\n"}},
        {"qti import missing.xml --out y", {2, "", "velm-host: no such file or folder: missing.xml\n"}},
        {"qti export examples/basic-item.xml",
         {2, "", "velm-host: qti export needs --out DIR or --package FILE.zip\n"}},
        {"qti export examples/basic-item.xml --out x --version 4.0",
         {2, "", "velm-host: --version: 4.0 not in {2.2,3.0}\n"}},
    };
    for (const auto& [arguments, expected] : cases)
        EXPECT_EQ(run(arguments), expected) << arguments;
}

TEST_F(Qti, APackageComesBackScoringAsTheItemDid)
{
    ASSERT_EQ(run("qti export examples --version 3.0 --package bank.zip").exitCode, 0);
    const auto imported = run("qti import bank.zip --out back");
    ASSERT_EQ(imported.exitCode, 0) << imported.out << imported.err;
    EXPECT_NE(imported.out.find("bank.zip:basic-item/basic-item.xml: imported as back/basic-item.xml"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(work_ / "back" / "key-cap.png"));
    for (const char* response : {"A, C", "A", "A, B"}) {
        EXPECT_EQ(run(std::string("score back/basic-item.xml --response '") + response + "'"),
                  run(std::string("score examples/basic-item.xml --response '") + response + "'"));
    }
}

}  // namespace
