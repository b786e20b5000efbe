#include "velm/ItemScorer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::string itemWith(const std::string& answers, const std::vector<std::string>& responses)
{
    std::string xml = "<MultipleChoiceItem><Answers>" + answers + "</Answers><State><Responses>";
    for (const auto& response : responses)
        xml += "<Response>" + response + "</Response>";
    return xml + "</Responses></State></MultipleChoiceItem>";
}

struct Scores {
    double raw;
    double max;
    double min;
};

Scores scoresOf(const std::string& xml)
{
    auto data = std::make_shared<velm::DataIO>();
    data->LoadXml(xml);
    velm::ItemScorer scorer;
    scorer.setData(data);
    return {scorer.RawScore(), scorer.MaxScore(), scorer.MinScore()};
}

struct ScoreCase {
    const char* answers;
    std::vector<std::string> responses;
    double raw;
    double max;
};

TEST(ItemScorer, ScoresTheLargestWeightAmongMetKeys)
{
    const ScoreCase cases[] = {
        {R"(<Answer Weight="1">A AND C</Answer>)", {"A", "C"}, 1, 1},
        {R"(<Answer Weight="1">A AND C</Answer>)", {"A"}, 0, 1},
        {R"(<Answer>A</Answer>)", {"A"}, 1, 1},
        {R"(<Answer Weight="1">A</Answer><Answer Weight="2">A AND B</Answer>)", {"A", "B"}, 2, 2},
        {R"(<Answer Weight="1">A</Answer><Answer Weight="2">A AND B</Answer>)", {"A"}, 1, 2},
        {R"(<Answer Weight="1">A</Answer><Answer Weight="2">A AND B</Answer>)", {"C"}, 0, 2},
        {R"(<Answer Weight="3">B</Answer><Answer Weight="0.5">A</Answer>)", {"A"}, 0.5, 3},
        {R"(<Answer Weight="-1">A</Answer>)", {"A"}, -1, -1},
        {R"(<Answer Weight=" 2.5 ">A</Answer>)", {"A"}, 2.5, 2.5},
        {R"(<Answer Weight="1">A AND NOT B</Answer>)", {"A"}, 1, 1},
        {R"(<Answer Weight="1">A AND NOT B</Answer>)", {"A", "B"}, 0, 1},
        {R"(<Answer Weight="1">A BEFORE B</Answer>)", {"A", "C", "B"}, 1, 1},
        {R"(<Answer Weight="1">A BEFORE B</Answer>)", {"B", "A"}, 0, 1},
        {R"(<Answer Weight="1">(A OR B) AND C</Answer>)", {"B", "C"}, 1, 1},
        {R"(<Answer Weight="1">(A OR B) AND C</Answer>)", {"B"}, 0, 1},
        {R"(<Answer Weight="1">A OR B AND C</Answer>)", {"A"}, 1, 1},
        {R"(<Answer Weight="1">A OR B AND C</Answer>)", {"B"}, 0, 1},
        {R"(<Answer Weight="1">A AND B AND ONLY</Answer>)", {"B", "A"}, 1, 1},
        {R"(<Answer Weight="1">A AND B AND ONLY</Answer>)", {"A", "B", "C"}, 0, 1},
        {R"(<Answer Weight="2">A AND B and only</Answer><Answer Weight="1">A AND B</Answer>)", {"A", "B", "C"}, 1, 2},
        {R"(<Answer Weight="1">a and not b</Answer>)", {"A"}, 1, 1},
        {R"(<Answer Weight="1">A</Answer>)", {"a"}, 1, 1},
        // A key that does not parse is never met but keeps its weight for the maximum.
        {R"(<Answer Weight="5">A AND</Answer><Answer Weight="1">B</Answer>)", {"A", "B"}, 1, 5},
        {R"(<Answer Weight="5">(A</Answer>)", {"A"}, 0, 5},
        {R"(<Answer Weight="5"></Answer>)", {}, 0, 5},
        // A weight that is not a number makes its key count for nothing.
        {R"(<Answer Weight="heavy">A</Answer><Answer Weight="2">B</Answer>)", {"A"}, 0, 2},
        {R"(<Answer Weight="heavy">A</Answer><Answer Weight="2">B</Answer>)", {"A", "B"}, 2, 2},
        {R"(<Answer Weight="">A</Answer>)", {"A"}, 0, 0},
        {R"(<Answer Weight="1e999">A</Answer>)", {"A"}, 0, 0},
        {R"(<Answer Weight="&amp;H3">A</Answer>)", {"A"}, 3, 3},
        {"", {"A"}, 0, 0},
        // Without responses only keys that ask for nothing can be met.
        {R"(<Answer Weight="1">NOT A</Answer><Answer Weight="2">A</Answer>)", {}, 1, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers);
        const auto scores = scoresOf(itemWith(c.answers, c.responses));
        EXPECT_EQ(scores.raw, c.raw);
        EXPECT_EQ(scores.max, c.max);
        EXPECT_EQ(scores.min, 0);
    }
}

TEST(ItemScorer, DocumentsWithoutKeyOrStateScoreZero)
{
    const std::pair<const char*, Scores> cases[] = {
        {R"(<MultipleChoiceItem><State><Responses><Response>A</Response></Responses></State></MultipleChoiceItem>)",
         {0, 0, 0}},
        {R"(<MultipleChoiceItem><Answers><Answer Weight="4">A</Answer></Answers></MultipleChoiceItem>)", {0, 4, 0}},
        {R"(<MultipleChoiceItem><Answers><Answer Weight="4">NOT A</Answer></Answers><State/></MultipleChoiceItem>)",
         {4, 4, 0}},
        {R"(<MultipleChoiceItem><State><Responses><Response>A</Response></Responses></State>)"
         R"(<Answers><Answer Weight="4">A</Answer></Answers></MultipleChoiceItem>)",
         {4, 4, 0}},
    };
    for (const auto& [xml, expected] : cases) {
        SCOPED_TRACE(xml);
        const auto scores = scoresOf(xml);
        EXPECT_EQ(scores.raw, expected.raw);
        EXPECT_EQ(scores.max, expected.max);
        EXPECT_EQ(scores.min, expected.min);
    }
}

TEST(ItemScorer, ScoresNothingWithoutADocument)
{
    velm::ItemScorer scorer;
    EXPECT_EQ(scorer.RawScore(), 0);
    EXPECT_EQ(scorer.MaxScore(), 0);
    scorer.setData(std::make_shared<velm::DataIO>());
    EXPECT_EQ(scorer.RawScore(), 0);
    EXPECT_EQ(scorer.MaxScore(), 0);
}

TEST(ItemScorer, ScoresWhateverDocumentIsLoadedNow)
{
    auto data = std::make_shared<velm::DataIO>();
    velm::ItemScorer scorer;
    scorer.setData(data);
    data->LoadXml(itemWith(R"(<Answer Weight="2">A</Answer>)", {"A"}));
    EXPECT_EQ(scorer.RawScore(), 2);
    data->LoadXml(itemWith(R"(<Answer Weight="2">A</Answer>)", {"B"}));
    EXPECT_EQ(scorer.RawScore(), 0);
    EXPECT_EQ(scorer.MaxScore(), 2);
}

TEST(ItemScorer, HugeKeysScorePromptly)
{
    const std::string nest = std::string(50000, '(') + "A" + std::string(50000, ')');
    std::string chain = "B";
    while (chain.size() < 100000)
        chain += " OR B";
    const auto answers = "<Answer Weight=\"3\">" + nest + "</Answer><Answer Weight=\"2\">" + chain + "</Answer>";
    EXPECT_EQ(scoresOf(itemWith(answers, {"A"})).raw, 3);
    EXPECT_EQ(scoresOf(itemWith(answers, {"B"})).raw, 2);
}

}  // namespace
