#include "ComponentFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorin::test {
namespace {

using Texts = std::vector<std::string>;

// The default key: "A AND C" weighs 2, "A" 0.5 and "B" -1.
using Scoring = ComponentFixture;

TEST_F(Scoring, ScoreCountsTheCandidatesResponsesWithTheReferenceScorer)
{
    struct Case {
        std::string state;
        Score score;
        Texts notes;
    };
    const Case cases[] = {
        {stateWith({}), {true, 0, 0, 1, 1, 0}, {"nNotAttempted: 1"}},
        {"<State/>", {true, 0, 0, 0, 0, 0}, {}},
        {"<State><Scroll>True</Scroll></State>", {true, 0, 0, 0, 0, 0}, {}},
        {stateWith({"A", "C"}), {true, 1, 0, 0, 0, 2}, {}},
        {stateWith({"C", "A"}), {true, 1, 0, 0, 0, 2}, {}},
        {stateWith({"A"}), {true, 1, 0, 0, 0, 0.5f}, {}},
        {stateWith({"B"}), {true, 0, 1, 0, 0, -1}, {}},
        {stateWith({"D"}), {true, 0, 1, 0, 0, 0}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml()));
        item.restore(c.state);
        EXPECT_EQ(item.score(), c.score);
        EXPECT_EQ(item.support().notesOf("Score external display"), c.notes);
        EXPECT_EQ(item.state(), c.state);
        EXPECT_TRUE(item.errors().empty());
    }
}

TEST_F(Scoring, RescoreReplacesTheStateWithEachResponseForm)
{
    const std::string converted = "<Visited><cmdShowQuestion/></Visited><ItemType><MC/></ItemType>"
                                  R"(<UserAnswers><Answer Value="A"/><Answer Value="C"/></UserAnswers>)";
    struct Case {
        std::string response;
        std::string state;
        Score score;
    };
    const Case cases[] = {
        {"A, C,", stateWith({"A", "C"}), {true, 1, 0, 0, 0, 2}},
        {"A,,C", "<State><Responses><Response>A</Response><Response/><Response>C</Response></Responses></State>",
         {true, 1, 0, 0, 0, 2}},
        {"  B  ", stateWith({"B"}), {true, 0, 1, 0, 0, -1}},
        {",", "<State><Responses><Response/></Responses></State>", {true, 0, 1, 0, 0, 0}},
        {"A & B", stateWith({"A &amp; B"}), {true, 0, 1, 0, 0, 0}},
        {"<Responses><Response>C</Response><Response>A</Response></Responses>", stateWith({"C", "A"}),
         {true, 1, 0, 0, 0, 2}},
        {"<Responses/>", stateWith({}), {true, 0, 0, 1, 1, 0}},
        {R"(<UserAnswers><Answer Value="A"/></UserAnswers>)", stateWith({"A"}), {true, 1, 0, 0, 0, 0.5f}},
        {converted, stateWith({"A", "C"}), {true, 1, 0, 0, 0, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.response);
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml({.state = stateWith({"D"})})));
        EXPECT_EQ(item.rescore(c.response), c.score);
        EXPECT_EQ(item.state(), c.state);
        EXPECT_TRUE(item.support().notesOf("Score external display").empty());
        EXPECT_TRUE(item.errors().empty());
    }
}

TEST_F(Scoring, RescoreWithoutResponseBytesTouchesNothing)
{
    ASSERT_TRUE(driver.init(itemXml({.state = stateWith({"D"})})));
    const auto response = bytes("A, C");
    for (const std::int32_t lRespBytes : {0, -1}) {
        SCOPED_TRACE(lRespBytes);
        Score score{false, 9, 9, 9, 9, 9};
        score.result = driver.display().RescoreExternalDisplay(response, lRespBytes, score.correct, score.incorrect,
                                                               score.notAttempted, score.notScored, score.raw);
        EXPECT_EQ(score, (Score{true, 0, 0, 0, 0, 0}));
        std::int32_t length = 0;
        score.result = driver.display().RescoreExternalDisplayQuick(
            response, lRespBytes, score.correct, score.incorrect, score.notAttempted, score.notScored, score.raw,
            bytes(itemXml()), length);
        EXPECT_EQ(score, (Score{true, 0, 0, 0, 0, 0}));
        EXPECT_EQ(driver.state(), stateWith({"D"}));
    }
}

TEST_F(Scoring, DamagedRescoringBytesAreReportedAndKeepTheState)
{
    const std::string kept = stateWith({"D"});
    const std::string utf8 = "A, C";
    auto odd = bytes("A, C");
    odd.push_back('x');
    struct Case {
        const char* name;
        vb::ByteArray response;
        Texts routines;
        Score score;
        std::string state;
    };
    const Case cases[] = {
        {"odd length", odd, {}, {true, 1, 0, 0, 0, 2}, stateWith({"A", "C"})},
        {"UTF-8 bytes", vb::ByteArray(utf8.begin(), utf8.end()), {}, {true, 0, 1, 0, 0, 0}, stateWith({"\u2C41\u4320"})},
        {"truncated Responses", bytes("<Responses><Response>A</Response>"), {"DisplayInt_RescoreExternalDisplay"}, {}, kept},
        {"truncated answer list", bytes(R"(<UserAnswers><Answer Value="A">)"), {"ConvertResponse"}, {}, kept},
        {"a lone bracket", bytes("A<B"), {"ConvertResponse"}, {}, kept},
        {"megabytes of brackets", bytes(std::string(1 << 20, '<')), {"ConvertResponse"}, {}, kept},
        {"closing tags only", bytes("</Responses></State>"), {"DisplayInt_RescoreExternalDisplay"}, {}, kept},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml({.state = kept})));
        EXPECT_EQ(item.rescoreBytes(c.response), c.score);
        EXPECT_EQ(item.errorRoutines(), c.routines);
        EXPECT_EQ(item.support().messages().size(), c.routines.size());
        EXPECT_EQ(item.state(), c.state);
    }
}

TEST_F(Scoring, RescoreQuickScoresTheDocumentItIsHanded)
{
    ASSERT_TRUE(driver.init(itemXml({.state = stateWith({"D"})})));
    auto rescoreQuick = [&](const std::string& response, const vb::ByteArray& document) {
        const auto responseBytes = bytes(response);
        std::int32_t length = 0;
        Score score;
        score.result = driver.display().RescoreExternalDisplayQuick(
            responseBytes, static_cast<std::int32_t>(responseBytes.size()), score.correct, score.incorrect,
            score.notAttempted, score.notScored, score.raw, document, length);
        return score;
    };
    const auto other = bytes(itemXml({.responseType = "N", .answers = R"(<Answer Weight="3">B</Answer>)"}));
    const auto truncated = vb::ByteArray(other.begin(), other.begin() + other.size() / 2);

    EXPECT_EQ(rescoreQuick("<Responses><Response>B</Response></Responses>", truncated), (Score{}));
    EXPECT_EQ(rescoreQuick("<Responses><Response>B</Response>", other), (Score{}));
    EXPECT_EQ(driver.errorRoutines(), (Texts{"RescoreExternalDisplayQuick", "RescoreExternalDisplayQuick"}));
    EXPECT_EQ(driver.state(), stateWith({"D"}));
    EXPECT_EQ(driver.response(0), "A AND C, A, B");

    EXPECT_EQ(rescoreQuick("<Responses><Response>B</Response></Responses>", other), (Score{true, 1, 0, 0, 0, 3}));
    EXPECT_EQ(driver.state(), stateWith({"B"}));
    EXPECT_EQ(driver.response(0), R"(<Answers><Answer Weight="3">B</Answer></Answers>)");
    EXPECT_EQ(driver.errors().size(), 2u);
}

TEST_F(Scoring, ScoreInfoReportsOneItemAndTheKeysRange)
{
    const std::pair<std::string, float> cases[] = {
        {ItemParts().answers, 2}, {"", 0}, {R"(<Answer Weight="-1">A</Answer>)", -1},
        {R"(<Answer Weight="1.5">A</Answer><Answer Weight="0.25">B</Answer>)", 1.5f},
    };
    for (const auto& [answers, expectedMax] : cases) {
        SCOPED_TRACE(answers);
        ItemDriver item;
        ASSERT_TRUE(item.init(itemXml({.answers = answers})));
        std::int16_t items = 0;
        float max = -99;
        float min = -99;
        EXPECT_TRUE(item.display().GetScoreInfo(items, max, min));
        EXPECT_EQ(items, 1);
        EXPECT_EQ(max, expectedMax);
        EXPECT_EQ(min, 0);
    }
}

TEST_F(Scoring, ConvertKeyGivesExpressionsAndWeightsAsAttributes)
{
    const std::pair<std::string, std::string> cases[] = {
        {R"(<Answers><Answer Weight="1">A AND C</Answer><Answer Weight="2">B OR D</Answer></Answers>)",
         R"(<Answers><Answer Expression="A AND C" Weight="1"/><Answer Expression="B OR D" Weight="2"/></Answers>)"},
        {R"(<Answers><Answer>A &amp; "B"</Answer></Answers>)",
         R"(<Answers><Answer Expression="A &amp; &quot;B&quot;" Weight=""/></Answers>)"},
        {"<Answers/>", "<Answers/>"},
        {"<Answers><Answer>", ""},
    };
    ASSERT_TRUE(driver.init(itemXml()));
    for (const auto& [key, converted] : cases) {
        SCOPED_TRACE(key);
        EXPECT_EQ(component.ConvertKey(key), converted);
    }
    EXPECT_EQ(driver.errorRoutines(), Texts{"ConvertKey"});
}

}  // namespace
}  // namespace quorin::test
