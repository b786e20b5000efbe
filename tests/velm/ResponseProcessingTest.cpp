#include "velm/ResponseProcessing.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace {

const char* const kChoices = R"(<QtiChoice AnswerID="A" Identifier="ca"/><QtiChoice AnswerID="B" Identifier="cb"/>)"
                             R"(<QtiChoice AnswerID="C" Identifier="cc"/>)";

velm::ResponseProcessing processingOf(const std::string& attributes, const std::string& body)
{
    std::string error;
    auto processing = velm::ResponseProcessing::fromXml(
        "<QtiScoring " + attributes + ">" + kChoices + body + "</QtiScoring>", &error);
    if (!processing)
        throw std::runtime_error("the scoring rules do not read: " + error);  // a failure, not a crash
    return std::move(*processing);
}

TEST(ResponseProcessing, ScoresEveryResponseAsTheStandardDoes)
{
    const std::string correctAC = "<QtiCorrect><QtiValue>ca</QtiValue><QtiValue>cc</QtiValue></QtiCorrect>";
    const std::string mapping = R"(<QtiMapping DefaultValue="-0.5" LowerBound="-1" UpperBound="1.5">)"
                                R"(<QtiMapEntry Key="ca" Value="1"/><QtiMapEntry Key="cc" Value="0.75"/></QtiMapping>)";
    // Custom rules: 2 when A and C are both chosen, else 1 when B is a member, else the default 0.25.
    const std::string rules =
        R"(<QtiRules><responseCondition><responseIf><contains><variable identifier="RESPONSE"/>)"
        R"(<correct identifier="RESPONSE"/></contains><setOutcomeValue identifier="SCORE"><baseValue baseType="float">2)"
        R"(</baseValue></setOutcomeValue></responseIf><responseElseIf><member><baseValue baseType="identifier">cb)"
        R"(</baseValue><variable identifier="RESPONSE"/></member><setOutcomeValue identifier="SCORE"><sum>)"
        R"(<variable identifier="SCORE"/><baseValue baseType="float">0.75</baseValue></sum></setOutcomeValue>)"
        R"(</responseElseIf></responseCondition></QtiRules>)";
    const auto matchMultiple = processingOf(R"(Cardinality="multiple" Template="match_correct")", correctAC);
    const auto mapMultiple = processingOf(R"(Cardinality="multiple" Template="map_response")", correctAC + mapping);
    const auto custom = processingOf(R"(Cardinality="multiple" ScoreDefault="0.25")", correctAC + rules);
    const auto matchSingle =
        processingOf(R"(Template="match_correct")", "<QtiCorrect><QtiValue>cb</QtiValue></QtiCorrect>");
    // clang-format off
    const std::tuple<const velm::ResponseProcessing*, std::vector<std::string>, double> cases[] = {
        {&matchMultiple, {"A", "C"}, 1}, {&matchMultiple, {"C", "A", "A"}, 1}, {&matchMultiple, {"A"}, 0},
        {&matchMultiple, {"A", "B", "C"}, 0}, {&matchMultiple, {}, 0},
        {&mapMultiple, {"A"}, 1}, {&mapMultiple, {"A", "C"}, 1.5}, {&mapMultiple, {"A", "A"}, 1},
        {&mapMultiple, {"B"}, -0.5}, {&mapMultiple, {"B", "Z"}, -1}, {&mapMultiple, {"C", "B"}, 0.25},
        {&mapMultiple, {}, 0},
        {&custom, {"A", "B", "C"}, 2}, {&custom, {"B"}, 1}, {&custom, {"A"}, 0.25}, {&custom, {}, 0.25},
        {&matchSingle, {"B"}, 1}, {&matchSingle, {"A"}, 0}, {&matchSingle, {}, 0},
    };
    // clang-format on
    for (const auto& [processing, responses, score] : cases) {
        EXPECT_DOUBLE_EQ(processing->score(responses), score) << ::testing::PrintToString(responses);
    }
    // Ranges over responses of one up to Max choices.
    EXPECT_EQ((std::vector{mapMultiple.maxScore(0), mapMultiple.minScore(0), mapMultiple.maxScore(1),
                           matchMultiple.maxScore(1), custom.maxScore(2), custom.minScore(3)}),
              (std::vector{1.5, -0.5, 1.0, 0.0, 2.0, 0.25}));
}

TEST(ResponseProcessing, TheScoreRangeOfManyChoicesIsDerivedNotEnumerated)
{
    std::string choices;
    for (int i = 0; i < 20; ++i)
        choices += "<QtiChoice AnswerID=\"" + std::string(1, static_cast<char>('A' + i)) + "\" Identifier=\"c"
                   + std::to_string(i) + "\"/>";
    const auto of = [&](const std::string& attributes, const std::string& body) {
        return velm::ResponseProcessing::fromXml("<QtiScoring Cardinality=\"multiple\" " + attributes + ">" + choices
                                                 + body + "</QtiScoring>");
    };
    const auto mapped = of(R"(Template="map_response")",
                           R"(<QtiMapping DefaultValue="-0.25"><QtiMapEntry Key="c0" Value="2"/>)"
                           R"(<QtiMapEntry Key="c1" Value="1.5"/><QtiMapEntry Key="c2" Value="-3"/></QtiMapping>)");
    const auto matched =
        of(R"(Template="match_correct")", "<QtiCorrect><QtiValue>c3</QtiValue><QtiValue>c4</QtiValue></QtiCorrect>");
    ASSERT_TRUE(mapped && matched);
    EXPECT_EQ((std::vector{mapped->maxScore(2), mapped->minScore(2), mapped->maxScore(0), mapped->minScore(0),
                           matched->maxScore(1), matched->minScore(1), matched->maxScore(2), matched->minScore(2)}),
              (std::vector{3.5, -3.25, 3.5, -7.25, 0.0, 0.0, 1.0, 0.0}));
    EXPECT_FALSE(of("", "<QtiRules/>"));
}

TEST(ResponseProcessing, RefusesWhatItCannotEvaluateNamingIt)
{
    const auto rules = [](const std::string& body) {
        return "<QtiScoring><QtiRules>" + body + "</QtiRules></QtiScoring>";
    };
    const auto score = [&](const std::string& body) {
        return rules("<setOutcomeValue identifier=\"SCORE\">" + body + "</setOutcomeValue>");
    };
    std::string deep = "<baseValue baseType=\"boolean\">true</baseValue>";
    for (int i = 0; i < 5000; ++i)
        deep = "<not>" + deep + "</not>";
    const std::pair<std::string, const char*> cases[] = {
        {"<QtiScoring Template=\"map_response_point\"/>", "map_response_point"},
        {rules("<exitResponse/>"), "exitResponse"},
        {rules("<setOutcomeValue identifier=\"FEEDBACK\"><baseValue "
               "baseType=\"identifier\">x</baseValue></setOutcomeValue>"),
         "FEEDBACK"},
        {score("<gt/>"), "gt"},
        {score("<match><correct identifier=\"RESPONSE\"/></match>"), "match with 1 operands"},
        {rules("<responseCondition><responseElse/></responseCondition>"), "responseElse"},
        {"<QtiScoring", "well-formed"},
        {"<MultipleChoiceItem><Other/></MultipleChoiceItem>", "no QtiScoring"},
        {score(deep), "deeper"},
    };
    for (const auto& [xml, named] : cases) {
        std::string error;
        EXPECT_FALSE(velm::ResponseProcessing::fromXml(xml, &error)) << named;
        EXPECT_NE(error.find(named), std::string::npos) << error;
    }
}

}  // namespace
