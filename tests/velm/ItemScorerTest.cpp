#include "velm/ItemScorer.h"

#include "vb/ComError.h"

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

TEST(ItemScorer, MeetsAKeyAsItsConnectivesRead)
{
    // The key's expression, the responses and whether they meet it.
    // clang-format off
    const std::tuple<const char*, std::vector<std::string>, bool> cases[] = {
        {"A", {"A"}, true}, {"A", {"a"}, true}, {"a", {"A"}, true}, {"A and b", {"A", "B"}, true},
        {"A", {"B"}, false}, {"A", {}, false}, {"A", {"A "}, false},
        {"A AND B", {"B", "A"}, true}, {"A AND B", {"A"}, false}, {"A OR B", {"B"}, true}, {"A Or B", {"C"}, false},
        {"NOT A", {}, true}, {"not A", {"A"}, false}, {"NOT NOT A", {"A"}, true},
        {"A AND NOT B", {"A"}, true}, {"A AND NOT B", {"A", "B"}, false},
        {"A AND(B)", {"A", "B"}, true}, {"\n  A\tAND B\r\n", {"A", "B"}, true},
        // NOT binds tighter than AND, AND tighter than OR; parentheses group.
        {"NOT A AND B", {}, false}, {"NOT A AND B", {"B"}, true},
        {"A OR B AND C", {"A"}, true}, {"A OR B AND C", {"B"}, false}, {"A OR B AND C", {"C", "B"}, true},
        {"(A OR B) AND C", {"A"}, false}, {"(A OR B) AND C", {"A", "C"}, true},
        {"NOT (A OR B)", {"C"}, true}, {"NOT (A OR B)", {"B"}, false},
        // BEFORE compares first responses and binds tighter than AND and OR.
        {"A BEFORE B", {"A", "B"}, true}, {"A BEFORE B", {"B", "A"}, false}, {"A BEFORE B", {"A"}, false},
        {"A BEFORE B", {"B"}, false}, {"A BEFORE B", {"B", "A", "B"}, false}, {"A BEFORE B", {"A", "B", "A"}, true},
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
    // clang-format on
    for (const auto& [expression, responses, met] : cases) {
        SCOPED_TRACE(std::string(expression) + " with " + ::testing::PrintToString(responses));
        EXPECT_EQ(std::get<0>(scoresOf(itemWith("<Answer>" + std::string(expression) + "</Answer>", responses))),
                  met ? 1 : 0);
    }
}

TEST(ItemScorer, ScoresTheLargestWeightAmongMetKeys)
{
    const auto twoKeys = R"(<Answer Weight="1">A</Answer><Answer Weight="2">A AND B</Answer>)";
    const auto heavy = R"(<Answer Weight="heavy">A</Answer><Answer Weight="2">B</Answer>)";
    // The document, and the raw and maximum scores it gets; the minimum is always 0.
    // clang-format off
    const std::tuple<std::string, double, double> cases[] = {
        {itemWith(R"(<Answer>A</Answer>)", {"A"}), 1, 1},
        {itemWith(twoKeys, {"A", "B"}), 2, 2}, {itemWith(twoKeys, {"A"}), 1, 2}, {itemWith(twoKeys, {"C"}), 0, 2},
        {itemWith(R"(<Answer Weight="3">B</Answer><Answer Weight="0.5">A</Answer>)", {"A"}), 0.5, 3},
        {itemWith(R"(<Answer Weight="-1">A</Answer>)", {"A"}), -1, -1},
        {itemWith(R"(<Answer Weight=" 2.5 ">A</Answer>)", {"A"}), 2.5, 2.5},
        {itemWith(R"(<Answer Weight="2">A AND B and only</Answer><Answer Weight="1">A AND B</Answer>)", {"A", "B", "C"}),
         1, 2},
        {itemWith(R"(<Answer Weight="1">NOT A</Answer><Answer Weight="2">A</Answer>)", {}), 1, 2},
        {itemWith("", {"A"}), 0, 0},
        // A key that does not parse is never met but keeps its weight for the maximum.
        {itemWith(R"(<Answer Weight="5">A AND</Answer><Answer Weight="1">B</Answer>)", {"A", "B"}), 1, 5},
        {itemWith(R"(<Answer Weight="5"></Answer>)", {}), 0, 5},
        // A weight that is not a number makes its key count for nothing.
        {itemWith(heavy, {"A"}), 0, 2}, {itemWith(heavy, {"A", "B"}), 2, 2},
        {itemWith(R"(<Answer Weight="">A</Answer>)", {"A"}), 0, 0},
        {itemWith(R"(<Answer Weight="1e999">A</Answer>)", {"A"}), 0, 0},
        {itemWith(R"(<Answer Weight="&amp;H3">A</Answer>)", {"A"}), 3, 3},
        // Without "Answers" or "State" nothing is met, wherever the other stands.
        {"<Item><State><Responses><Response>A</Response></Responses></State></Item>", 0, 0},
        {R"(<Item><Answers><Answer Weight="4">A</Answer></Answers></Item>)", 0, 4},
        {R"(<Item><Answers><Answer Weight="4">NOT A</Answer></Answers><State/></Item>)", 4, 4},
        {R"(<Item><State><Responses><Response>A</Response></Responses></State>)"
         R"(<Answers><Answer Weight="4">A</Answer></Answers></Item>)", 4, 4},
    };
    // clang-format on
    for (const auto& [xml, raw, max] : cases)
        EXPECT_EQ(scoresOf(xml), Scores(raw, max, 0)) << xml;
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
    EXPECT_EQ(std::pair(scorer.RawScore(), scorer.MaxScore()), std::pair(0.0, 2.0));
}

TEST(ItemScorer, AnItemKeepingExactScoringScoresByItAndFailsWhenItCannotBeRead)
{
    const std::string scoring =
        R"(<QtiScoring Cardinality="multiple" Template="map_response"><QtiChoice AnswerID="A" )"
        R"(Identifier="x"/><QtiChoice AnswerID="B" Identifier="y"/><QtiMapping DefaultValue="-1"><QtiMapEntry Key="x" )"
        R"(Value="3"/></QtiMapping></QtiScoring>)";
    const auto item = [&](const std::string& max, const std::vector<std::string>& responses) {
        return "<MultipleChoiceItem><Choices Max=\"" + max + "\"/>" + scoring
               + itemWith(R"(<Answer Weight="9">A</Answer>)", responses).substr(20);
    };
    // The keys' weight 9 plays no part; the range covers responses of up to Max choices.
    EXPECT_EQ(scoresOf(item("2", {"A"})), Scores(3, 3, -1));
    EXPECT_EQ(scoresOf(item("1", {"A", "B"})), Scores(2, 3, -1));
    EXPECT_EQ(scoresOf(item("x", {"B"})), Scores(-1, 3, -1));
    EXPECT_EQ(scoresOf(item("2", {})), Scores(0, 3, -1));

    auto data = std::make_shared<velm::DataIO>();
    data->LoadXml(R"(<MultipleChoiceItem><QtiScoring Template="other"/><State/></MultipleChoiceItem>)");
    velm::ItemScorer scorer;
    scorer.setData(data);
    EXPECT_THROW(scorer.RawScore(), vb::ComError);
    EXPECT_THROW(scorer.MaxScore(), vb::ComError);
}

}  // namespace
