#include "ItemDriver.h"

namespace quorin::test {
namespace {

// Items use the default key: "A AND C" weighs 2, "A" 0.5 and "B" -1.

TEST(Scoring, ScoreAndAnswerStatusCountTheCandidatesResponses)
{
    // The state, the item's Min, then the score and the answer status.
    const std::tuple<std::string, const char*, Score, std::int32_t> cases[] = {
        {stateWith({}), "2", {true, 0, 0, 1, 1, 0}, 2},
        {"<State/>", "2", {true, 0, 0, 1, 1, 0}, 2},
        {stateWith({"A", "C"}), "2", {true, 1, 0, 0, 0, 2}, 100},
        {stateWith({"A"}), "2", {true, 1, 0, 0, 0, 0.5f}, 3},
        {stateWith({"A", "B"}), "3", {true, 1, 0, 0, 0, 0.5f}, 3},
        {stateWith({"B"}), "", {true, 0, 1, 0, 0, -1}, 100},
        {stateWith({"D"}), "1", {true, 0, 1, 0, 0, 0}, 100},
    };
    for (const auto& [state, min, score, status] : cases) {
        SCOPED_TRACE(state + " Min " + min);
        ItemDriver item({.min = min});
        item.restore(bytes(state));
        // A restored State always keeps its Responses, the place every selection is recorded.
        EXPECT_EQ((std::tuple{item.score(), item.status(), item.state(), item.errors().empty()}),
                  (std::tuple{score, status, withScrollFlag(state == "<State/>" ? stateWith({}) : state), true}));
    }
}

TEST(Scoring, RescoreReplacesTheStateWithEachResponseFormAndKeepsItForDamagedBytes)
{
    const std::string kept = stateWith({"D"});
    const std::string utf8 = "A, C";
    auto odd = bytes("A, C");
    odd.push_back('x');
    struct Case {
        vb::ByteArray response;
        Score score;
        std::string state;
        Texts errorRoutines;
        std::optional<std::int32_t> lRespBytes;
    };
    // clang-format off
    const Case cases[] = {
        {bytes("A, C,"), {true, 1, 0, 0, 0, 2}, stateWith({"A", "C"})},
        {bytes("A,,C"), {true, 1, 0, 0, 0, 2},
         "<State><Responses><Response>A</Response><Response/><Response>C</Response></Responses></State>"},
        {bytes("A & B"), {true, 0, 1, 0, 0, 0}, stateWith({"A &amp; B"})},
        {bytes("<Responses><Response>C</Response><Response>A</Response></Responses>"), {true, 1, 0, 0, 0, 2},
         stateWith({"C", "A"})},
        {bytes("<Responses/>"), {true, 0, 0, 1, 1, 0}, stateWith({})},
        {bytes("<Visited><cmdShowQuestion/></Visited><ItemType><MC/></ItemType>"
               R"(<UserAnswers><Answer Value="A"/><Answer Value="C"/></UserAnswers>)"),
         {true, 1, 0, 0, 0, 2}, stateWith({"A", "C"})},
        {bytes("A, C"), {true, 0, 0, 0, 0, 0}, kept, {}, 0},
        {odd, {true, 1, 0, 0, 0, 2}, stateWith({"A", "C"})},
        {vb::ByteArray(utf8.begin(), utf8.end()), {true, 0, 1, 0, 0, 0}, stateWith({"\u2C41\u4320"})},
        {bytes("<Responses><Response>A</Response>"), {}, kept, {"DisplayInt_RescoreExternalDisplay"}},
        {bytes(std::string(1 << 20, '<')), {}, kept, {"ConvertResponse"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(vb::textFromBytes(c.response).substr(0, 60));
        ItemDriver item({.extra = kept});
        EXPECT_EQ(item.rescore(c.response, c.lRespBytes), c.score);
        EXPECT_EQ(item.state(), c.state);
        EXPECT_EQ(item.errorRoutines(), c.errorRoutines);
        EXPECT_EQ(item.support->messages().size(), c.errorRoutines.size());
    }
}

TEST(Scoring, RescoreQuickScoresTheDocumentItIsHanded)
{
    ItemDriver item({.extra = stateWith({"D"})});
    const auto other = bytes(itemXml({.responseType = "N", .answers = R"(<Answer Weight="3">B</Answer>)"}));
    const auto truncated = vb::ByteArray(other.begin(), other.begin() + other.size() / 2);
    const auto responses = bytes("<Responses><Response>B</Response></Responses>");

    EXPECT_EQ(item.rescore(responses, 0, &other), (Score{true, 0, 0, 0, 0, 0}));
    EXPECT_EQ(item.rescore(responses, -1, &other), (Score{true, 0, 0, 0, 0, 0}));
    EXPECT_EQ(item.rescore(responses, {}, &truncated), (Score{}));
    EXPECT_EQ(item.rescore(bytes("<Responses><Response>B</Response>"), {}, &other), (Score{}));
    EXPECT_EQ(item.errorRoutines(), (Texts{"RescoreExternalDisplayQuick", "RescoreExternalDisplayQuick"}));
    EXPECT_EQ((std::tuple{item.state(), item.response(0)}), (std::tuple{stateWith({"D"}), "A AND C, A, B"}));

    EXPECT_EQ((std::tuple{item.rescore(responses, {}, &other), item.state(), item.response(0), item.errors().size()}),
              (std::tuple{Score{true, 1, 0, 0, 0, 3}, stateWith({"B"}),
                          R"(<Answers><Answer Weight="3">B</Answer></Answers>)", 2u}));
    const auto reweighted = bytes(itemXml({.responseType = "N", .answers = R"(<Answer Weight="2">B</Answer>)"}));
    EXPECT_EQ(item.rescore(responses, {}, &reweighted), (Score{true, 1, 0, 0, 0, 2}));
}

TEST(Scoring, RescoreLeavesTheStateOfTheLastResponseWhateverWasRescoredOrReadBefore)
{
    const auto first = bytes("<Responses><Response>B</Response></Responses>");
    const auto second = bytes("<UserAnswers/>");
    const vb::ByteArray damaged[] = {bytes("<Responses><Response>A</Response>"),
                                     bytes("<UserAnswers><A></UserAnswers>")};
    const std::string oneState = stateWith({"D"});
    // A plain rescoring replaces the first State, so with two the result depends on what came before.
    const std::pair<std::string, bool> cases[] = {{"", false}, {oneState, false}, {oneState + "<Note/>", false},
                                                  {"", true},  {oneState, true},  {oneState + stateWith({"A"}), true}};
    for (const auto& [extra, quick] : cases) {
        SCOPED_TRACE(extra + (quick ? " quick" : ""));
        const auto document = bytes(itemXml({.extra = extra}));
        const auto* handed = quick ? &document : nullptr;
        ItemDriver fresh({.extra = extra});
        ItemDriver item({.extra = extra});
        item.rescore(first, {}, handed);
        item.rescore(second, {}, handed);
        for (const auto& text : damaged)
            EXPECT_EQ(item.rescore(text, {}, handed), Score{});
        fresh.rescore(second, {}, handed);
        EXPECT_EQ((std::tuple{item.status(), item.state()}), (std::tuple{fresh.status(), fresh.state()}));
        const auto score = item.rescore(first, {}, handed);
        EXPECT_EQ((std::tuple{score, item.status(), item.state()}),
                  (std::tuple{fresh.rescore(first, {}, handed), fresh.status(), fresh.state()}));
    }
    // Of two States a plain rescoring replaces the first and scores the one then first, also after
    // a fast rescoring brought the two in: "B", then "A, C".
    const auto twoStates = bytes(itemXml({.extra = oneState + stateWith({"A"})}));
    ItemDriver item{ItemParts{}};
    item.rescore(bytes("B"));
    item.rescore(first, {}, &twoStates);
    EXPECT_EQ(item.rescore(bytes("A, C")), (Score{true, 0, 1, 0, 0, -1}));
    EXPECT_EQ(item.rescore(bytes("B")), (Score{true, 1, 0, 0, 0, 2}));
}

TEST(Scoring, ScoreInfoGivesOneItemAndTheKeysRangeAndConvertKeyGivesExpressionsAndWeightsAsAttributes)
{
    ItemDriver item{ItemParts{}};
    std::int16_t items = 0;
    float max = -99;
    float min = -99;
    EXPECT_EQ((std::tuple{item.display().GetScoreInfo(items, max, min), items, max, min}),
              (std::tuple<bool, std::int16_t, float, float>{true, 1, 2, 0}));
    const std::pair<std::string, std::string> cases[] = {
        {R"(<Answers><Answer Weight="1">A AND C</Answer><Answer Weight="2">B OR D</Answer></Answers>)",
         R"(<Answers><Answer Expression="A AND C" Weight="1"/><Answer Expression="B OR D" Weight="2"/></Answers>)"},
        {R"(<Answers><Answer>A &amp; "B"</Answer></Answers>)",
         R"(<Answers><Answer Expression="A &amp; &quot;B&quot;" Weight=""/></Answers>)"},
        {"<Answers><Answer>", ""},
    };
    for (const auto& [key, converted] : cases)
        EXPECT_EQ(item.component->ConvertKey(key), converted) << key;
    EXPECT_EQ(item.errorRoutines(), Texts{"ConvertKey"});
}

}  // namespace
}  // namespace quorin::test
