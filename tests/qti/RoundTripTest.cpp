#include "host/driver/InputFiles.h"
#include "itemformat/ItemFormat.h"
#include "qti/Exporter.h"
#include "qti/ItemImport.h"
#include "velm/DataIO.h"
#include "velm/ItemScorer.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorin::qti {
namespace {

namespace fs = std::filesystem;
using velm::host::readFileText;

// Our scorer on our item (by its kept QTI scoring, else by its keys), as the component asks it:
// an empty response is never scored.
double scoreOf(const itemformat::ItemDefinition& item, const std::vector<std::string>& responses)
{
    if (responses.empty())
        return 0;
    const auto itemXml = itemformat::write(item);
    std::string state = "<State><Responses>";
    for (const auto& response : responses)
        state += "<Response>" + response + "</Response>";
    state += "</Responses></State></MultipleChoiceItem>";
    const auto data = std::make_shared<velm::DataIO>();
    data->LoadXml(itemXml.substr(0, itemXml.rfind("</MultipleChoiceItem>")) + state);
    velm::ItemScorer scorer;
    scorer.setData(data);
    return scorer.RawScore();
}

// Every set of choices a candidate can give (up to Max of them), by position, scores alike in
// both items; the choices are named by each item's own answer identifiers.
void expectSameScores(const itemformat::ItemDefinition& before, const itemformat::ItemDefinition& after,
                      const std::string& name)
{
    ASSERT_EQ(before.choices.size(), after.choices.size()) << name;
    const auto count = before.choices.size();
    const auto max = before.maxAnswers().value_or(1);
    for (std::uint32_t subset = 0; subset < (1u << count); ++subset) {
        if (std::popcount(subset) > max)
            continue;
        std::vector<std::string> ours;
        std::vector<std::string> theirs;
        for (std::size_t i = 0; i < count; ++i) {
            if (subset & (1u << i)) {
                ours.push_back(before.choices[i].answerId);
                theirs.push_back(after.choices[i].answerId);
            }
        }
        ASSERT_DOUBLE_EQ(scoreOf(before, ours), scoreOf(after, theirs)) << name << " subset " << subset;
    }
}

// Exported in each version and imported again, the item scores every response as it did.
void expectRoundTripsScoreAlike(const itemformat::ItemDefinition& item, const std::string& name)
{
    for (const auto version : {QtiVersion::V2p2, QtiVersion::V3p0}) {
        const auto exported = exportItem(item, version, name);
        EXPECT_EQ(exported.refusal, "") << name;
        const auto imported = importItem(exported.xml);
        ASSERT_TRUE(imported.definition) << name << ": " << imported.refusal << "\n" << exported.xml;
        expectSameScores(item, *imported.definition, name + " " + versionName(version));
    }
}

itemformat::ItemDefinition itemWith(const std::string& choices, const std::string& answers, const std::string& max)
{
    const auto read =
        itemformat::read("<MultipleChoiceItem><ItemStem><Text>&lt;html&gt;Pick</Text></ItemStem><Choices Max=\"" + max
                         + "\">" + choices + "</Choices><Answers>" + answers + "</Answers></MultipleChoiceItem>");
    EXPECT_TRUE(read.item) << read.error;
    return read.item.value_or(itemformat::ItemDefinition{});
}

const std::string kFourChoices = "<Choice AnswerID=\"A\">a</Choice><Choice AnswerID=\"B\">b</Choice>"
                                 "<Choice AnswerID=\"c\">c</Choice><Choice AnswerID=\"2 d\">d</Choice>";

TEST(RoundTripTest, EveryExampleComesBackScoringEveryResponseAlike)
{
    int items = 0;
    for (const auto& entry : fs::directory_iterator(QUORIN_EXAMPLES_DIR)) {
        const auto read = itemformat::read(readFileText(entry.path()));
        if (entry.path().extension() != ".xml" || !read.item)
            continue;
        ++items;
        expectRoundTripsScoreAlike(*read.item, entry.path().stem().string());
    }
    EXPECT_GE(items, 7);
}

TEST(RoundTripTest, WeightedKeysScoreAsTheLargestWeightMet)
{
    // The keys, Max.
    const std::pair<const char*, const char*> cases[] = {
        {"<Answer Weight=\"2\">A AND C AND ONLY</Answer><Answer Weight=\"1\">(A OR c) AND NOT B</Answer>", "4"},
        {"<Answer Weight=\"-1\">B</Answer><Answer Weight=\"0.5\">NOT A AND ONLY</Answer><Answer>Z OR 2</Answer>", "3"},
        {"<Answer Weight=\"3\">B AND ONLY</Answer><Answer Weight=\"x\">A</Answer><Answer>A AND AND</Answer>", "2"},
        {"<Answer Weight=\"1\">NOT (A OR B)</Answer><Answer Weight=\"1.25\">c</Answer>", "1"},
        {"<Answer Weight=\"2\">B AND ONLY</Answer>", "1"},
        {"<Answer Weight=\"1\">A AND c AND ONLY</Answer>", "1"},
        {"", "2"},
    };
    for (const auto& [answers, max] : cases)
        expectRoundTripsScoreAlike(itemWith(kFourChoices, answers, max), answers);
}

TEST(RoundTripTest, QtiItemsComeBackScoringAsTheyDid)
{
    for (const auto& entry : fs::directory_iterator(QUORIN_QTI_ITEMS_DIR)) {
        if (entry.path().extension() != ".xml")
            continue;
        const auto imported = importItem(readFileText(entry.path()), {.allowUnfixed = true});
        ASSERT_TRUE(imported.definition) << entry.path() << imported.refusal;
        expectRoundTripsScoreAlike(*imported.definition, entry.path().filename().string());
    }
}

TEST(RoundTripTest, WhatQtiCannotExpressIsRefusedWithTheReason)
{
    // The choices, the keys, Max, the reason given.
    const std::tuple<std::string, const char*, const char*, const char*> cases[] = {
        {kFourChoices, "<Answer>A BEFORE B</Answer>", "2",
         "the key \"A BEFORE B\" orders its responses (BEFORE); a choice response has no order"},
        {"", "<Answer>A</Answer>", "1", "the item has no choices"},
        {"<Choice AnswerID=\"A\">a</Choice><Choice AnswerID=\"A\">b</Choice>", "", "1",
         "two choices have the answer identifier \"A\""},
        {kFourChoices, "", "many", "Max \"many\" is no whole number"},
        {kFourChoices, "<Answer>A</Answer>", "0",
         "Max 0 lets the candidate choose nothing, which QTI cannot say (its maxChoices 0 means no limit)"},
    };
    for (const auto& [choices, answers, max, reason] : cases) {
        const auto exported = exportItem(itemWith(choices, answers, max), QtiVersion::V3p0, "refused");
        EXPECT_EQ(exported.refusal, reason);
        EXPECT_EQ(exported.xml, "");
    }
}

}  // namespace
}  // namespace quorin::qti
