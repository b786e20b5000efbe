#include "velm/ItemScorer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::string itemWith(const std::string& answers, const std::vector<std::string>& responses)
{
    std::string xml = "<MultipleChoiceItem><Answers>" + answers + "</Answers><State><Responses>";
    for (const auto& response : responses)
        xml += "<Response>" + response + "</Response>";
    return xml + "</Responses></State></MultipleChoiceItem>";
}

// RawScore, MaxScore and MinScore.
using Scores = std::tuple<double, double, double>;

Scores scoresOf(const std::string& xml)
{
    auto data = std::make_shared<velm::DataIO>();
    data->LoadXml(xml);
    velm::ItemScorer scorer;
    scorer.setData(data);
    return {scorer.RawScore(), scorer.MaxScore(), scorer.MinScore()};
}

struct MetCase {
    const char* expression;
    std::vector<std::string> responses;
    bool met;
};

TEST(ItemScorer, MeetsAKeyAsItsConnectivesRead)
{
    const MetCase cases[] = {
        {"A", {"A"}, true}, {"A", {"a"}, true}, {"a", {"A"}, true}, {"A and b", {"A", "B"}, true},
        {"A", {"B"}, false}, {"A", {}, false}, {"A", {"A "}, false},
        {"A AND B", {"B", "A"}, true}, {"A AND B", {"A"}, false},
        {"A OR B", {"B"}, true}, {"A Or B", {"C"}, false},
        {"NOT A", {}, true}, {"not A", {"A"}, false}, {"NOT NOT A", {"A"}, true},
        {"A AND NOT B", {"A"}, true}, {"A AND NOT B", {"A", "B"}, false},
        {"A AND(B)", {"A", "B"}, true}, {"\n  A\tAND B\r\n", {"A", "B"}, true},
        // NOT binds tighter than AND, AND tighter than OR; parentheses group.
        {"NOT A AND B", {}, false}, {"NOT A AND B", {"B"}, true},
        {"A OR B AND C", {"A"}, true}, {"A OR B AND C", {"B"}, false}, {"A OR B AND C", {"C", "B"}, true},
        {"(A OR B) AND C", {"A"}, false}, {"(A OR B) AND C", {"A", "C"}, true},
        {"NOT (A OR B)", {"C"}, true}, {"NOT (A OR B)", {"B"}, false},
        // BEFORE compares first responses and binds tighter than AND and OR.
        {"A BEFORE B", {"A", "B"}, true}, {"A BEFORE B", {"B", "A"}, false},
        {"A BEFORE B", {"A"}, false}, {"A BEFORE B", {"B"}, false},
        {"A BEFORE B", {"B", "A", "B"}, false}, {"A BEFORE B", {"A", "B", "A"}, true},
        {"a before b", {"A", "C", "B"}, true}, {"A BEFORE A", {"A"}, false}, {"(A) BEFORE B", {"A", "B"}, true},
        {"NOT (A BEFORE B)", {"B", "A"}, true}, {"NOT (A BEFORE B)", {"A", "B"}, false},
        {"A BEFORE B AND C", {"A", "B", "C"}, true}, {"A BEFORE B AND C", {"A", "B"}, false},
        {"C OR A BEFORE B", {"B", "A"}, false}, {"C OR A BEFORE B", {"C"}, true},
        // AND ONLY: nothing beyond the named terms, negated ones included.
        {"A AND B AND ONLY", {"B", "A"}, true}, {"A AND B AND ONLY", {"A", "B", "C"}, false},
        {"A AND B and only", {"A", "B", "c"}, false},
        {"A OR B AND ONLY", {"A"}, true}, {"A OR B AND ONLY", {"A", "C"}, false}, {"A OR B AND ONLY", {}, false},
        {"A AND NOT B AND ONLY", {"A"}, true}, {"A AND NOT B AND ONLY", {"A", "B"}, false},
        {"A AND ONLY", {"A", "A"}, true}, {"A AND ONLY", {"A", ""}, false},
        // Terms of every dialect are words.
        {"A1B OR B1A", {"b1a"}, true}, {"A1 AND B12", {"A1", "B12"}, true}, {"A1 AND B12", {"A1", "B1"}, false},
        // Keys that do not parse are never met.
        {"A AND", {"A"}, false}, {"NOT A BEFORE B", {"B"}, false}, {"(A", {"A"}, false}, {"", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.expression) + " with " + ::testing::PrintToString(c.responses));
        const auto item = itemWith("<Answer>" + std::string(c.expression) + "</Answer>", c.responses);
        EXPECT_EQ(std::get<0>(scoresOf(item)), c.met ? 1 : 0);
    }
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
        {R"(<Answer>A</Answer>)", {"A"}, 1, 1},
        {R"(<Answer Weight="1">A</Answer><Answer Weight="2">A AND B</Answer>)", {"A", "B"}, 2, 2},
        {R"(<Answer Weight="1">A</Answer><Answer Weight="2">A AND B</Answer>)", {"A"}, 1, 2},
        {R"(<Answer Weight="1">A</Answer><Answer Weight="2">A AND B</Answer>)", {"C"}, 0, 2},
        {R"(<Answer Weight="3">B</Answer><Answer Weight="0.5">A</Answer>)", {"A"}, 0.5, 3},
        {R"(<Answer Weight="-1">A</Answer>)", {"A"}, -1, -1},
        {R"(<Answer Weight=" 2.5 ">A</Answer>)", {"A"}, 2.5, 2.5},
        {R"(<Answer Weight="2">A AND B and only</Answer><Answer Weight="1">A AND B</Answer>)", {"A", "B", "C"}, 1, 2},
        {R"(<Answer Weight="1">NOT A</Answer><Answer Weight="2">A</Answer>)", {}, 1, 2},
        {"", {"A"}, 0, 0},
        // A key that does not parse is never met but keeps its weight for the maximum.
        {R"(<Answer Weight="5">A AND</Answer><Answer Weight="1">B</Answer>)", {"A", "B"}, 1, 5},
        {R"(<Answer Weight="5"></Answer>)", {}, 0, 5},
        // A weight that is not a number makes its key count for nothing.
        {R"(<Answer Weight="heavy">A</Answer><Answer Weight="2">B</Answer>)", {"A"}, 0, 2},
        {R"(<Answer Weight="heavy">A</Answer><Answer Weight="2">B</Answer>)", {"A", "B"}, 2, 2},
        {R"(<Answer Weight="">A</Answer>)", {"A"}, 0, 0},
        {R"(<Answer Weight="1e999">A</Answer>)", {"A"}, 0, 0},
        {R"(<Answer Weight="&amp;H3">A</Answer>)", {"A"}, 3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answers);
        EXPECT_EQ(scoresOf(itemWith(c.answers, c.responses)), Scores(c.raw, c.max, 0));
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
    for (const auto& [xml, expected] : cases)
        EXPECT_EQ(scoresOf(xml), expected) << xml;
}

TEST(ItemScorer, ScoresTheDocumentLoadedAtTheTimeOfTheCall)
{
    velm::ItemScorer scorer;
    EXPECT_EQ(std::pair(scorer.RawScore(), scorer.MaxScore()), std::pair(0.0, 0.0));
    auto data = std::make_shared<velm::DataIO>();
    scorer.setData(data);
    EXPECT_EQ(std::pair(scorer.RawScore(), scorer.MaxScore()), std::pair(0.0, 0.0));
    data->LoadXml(itemWith(R"(<Answer Weight="2">A</Answer>)", {"A"}));
    EXPECT_EQ(scorer.RawScore(), 2);
    data->LoadXml(itemWith(R"(<Answer Weight="2">A</Answer>)", {"B"}));
    EXPECT_EQ(scorer.RawScore(), 0);
    EXPECT_EQ(scorer.MaxScore(), 2);
}

}  // namespace
