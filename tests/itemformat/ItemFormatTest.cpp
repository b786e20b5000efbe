#include "itemformat/ItemFormat.h"

#include "velm/DataIO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using quorin::itemformat::ItemDefinition;

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// What the component reads of an item, looked up through its own data object as it looks.
std::vector<std::string> componentView(const std::string& xml)
{
    velm::DataIO data;
    data.LoadXml(xml);
    std::vector<std::string> seen;
    auto textBelow = [&](const char* parent, const char* child) {
        data.setFromRoot(true);
        if (!data.FindElement(parent))
            return seen.push_back(std::string("no ") + parent);
        data.setFromRoot(false);
        seen.push_back(data.FindElement(child) ? data.GetText().toString() : std::string("no ") + child);
    };
    auto children = [&](const char* parent, std::vector<const char*> attributes) {
        data.setFromRoot(true);
        if (!data.FindElement(parent))
            return seen.push_back(std::string("no ") + parent);
        for (const char* attribute : {"Max", "Min", "RandomOrder", "Require"})
            seen.push_back(data.GetAttribute(attribute).toString());
        for (std::int32_t i = 0; i < data.ChildCount(); ++i) {
            seen.push_back(data.GetChildText(i).toString());
            for (const char* attribute : attributes)
                seen.push_back(data.GetChildAttribute(i, attribute).toString());
        }
    };
    data.MoveToRoot();
    for (const char* attribute : {"Language", "ResponseType", "CaseCode"})
        seen.push_back(data.GetAttribute(attribute).toString());
    textBelow("ItemStem", "Heading");
    textBelow("ItemStem", "Text");
    textBelow("Instructions", "Text");
    children("ActiveExhibits", {"ButtonText", "Progid", "InitDataFilename", "SelfClosing"});
    children("Choices", {"AnswerID"});
    children("Answers", {"Weight"});
    data.setFromRoot(true);
    seen.push_back(data.FindElement("State") ? data.GetElementXml("State") : "no State");
    return seen;
}

TEST(ItemFormat, EveryExampleItemComesBackAsTheComponentReadsIt)
{
    int items = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORIN_EXAMPLES_DIR)) {
        const auto name = entry.path().filename().string();
        if (name.find("item") == std::string::npos && name.find("exhibit-") == std::string::npos)
            continue;
        SCOPED_TRACE(name);
        ++items;
        const auto first = quorin::itemformat::read(fileText(entry.path()));
        ASSERT_TRUE(first.item) << first.error;
        const std::string written = quorin::itemformat::write(*first.item);
        const auto second = quorin::itemformat::read(written);
        ASSERT_TRUE(second.item) << second.error;
        EXPECT_TRUE(second.item->sameContent(*first.item));
        EXPECT_EQ(quorin::itemformat::write(*second.item), written);
        if (name.find("exhibit-") == std::string::npos) {
            EXPECT_EQ(componentView(written), componentView(fileText(entry.path())));
        }
    }
    EXPECT_GE(items, 8);
}

TEST(ItemFormat, ReadsWhatToolsNeed)
{
    const auto read =
        quorin::itemformat::read(fileText(std::filesystem::path(QUORIN_EXAMPLES_DIR) / "exhibits-item.xml"));
    ASSERT_TRUE(read.item);
    const ItemDefinition& item = *read.item;
    std::string ids;
    for (const auto& choice : item.choices)
        ids += choice.answerId;
    EXPECT_EQ(
        (std::tuple{item.heading, item.exhibitsRequire, item.exhibits.size(), item.exhibits.at(1).initDataFilename,
                    item.maxAnswers(), item.isRandomOrder(), ids, item.answers.size(), item.answers.at(0).expression,
                    item.answers.at(0).weight, item.instructionsHtml}),
        (std::tuple{"Question 4", "true", 2u, "exhibit-timetable.xml", 1, false, "ABC", 1u, "B AND ONLY", "1",
                    std::nullopt}));
}

TEST(ItemFormat, KeepsScoringAndUnknownElementsAndTextsThatLookLikeMarkup)
{
    const std::string text = R"(<MultipleChoiceItem Language="DEU">
<ItemStem><Heading>a &lt;b&gt;</Heading><Text><![CDATA[<html>x]]>y</Text></ItemStem>
<Choices Max="x" RandomOrder="1"><Choice AnswerID="A"><![CDATA[<html>]]]]><![CDATA[>]]></Choice></Choices>
<QtiScoring Cardinality="multiple" Template="map_response" ScoreDefault="0.5"><QtiChoice AnswerID="A" Identifier="x1"/><QtiCorrect><QtiValue>A</QtiValue></QtiCorrect>
<QtiMapping DefaultValue="-1" UpperBound="2.25"><QtiMapEntry Key="A" Value="0.1"/></QtiMapping></QtiScoring>
<State><Responses><Response>A</Response><Response> </Response></Responses></State>
</MultipleChoiceItem>)";
    const auto first = quorin::itemformat::read(text);
    ASSERT_TRUE(first.item) << first.error;
    EXPECT_EQ(first.item->heading, "a <b>");
    EXPECT_EQ(first.item->stemHtml, "<html>xy");
    EXPECT_EQ(first.item->choices.at(0).html, "<html>]]>");
    EXPECT_FALSE(first.item->maxAnswers());
    EXPECT_TRUE(first.item->isRandomOrder());
    ASSERT_TRUE(first.item->qtiScoring);
    EXPECT_EQ(first.item->qtiScoring->line, 4);
    EXPECT_EQ(first.item->qtiScoring->mapping->defaultValue, -1);
    EXPECT_EQ(first.item->qtiScoring->choices.at(0).identifier, "x1");
    const auto second = quorin::itemformat::read(quorin::itemformat::write(*first.item));
    ASSERT_TRUE(second.item);
    EXPECT_TRUE(second.item->sameContent(*first.item));
    EXPECT_TRUE(second.item->qtiScoring->sameContent(*first.item->qtiScoring));
    EXPECT_EQ(componentView(quorin::itemformat::write(*second.item)), componentView(text));
}

TEST(ItemFormat, RefusesWhatIsNoItemNamingTheLine)
{
    const std::pair<const char*, int> cases[] = {
        {"", 1}, {"<MultipleChoiceItem>\n<Choices>\n</MultipleChoiceItem>", 3}, {"<Root/>", 1}, {"\xFF\xFE<", 1}};
    for (const auto& [text, line] : cases) {
        const auto read = quorin::itemformat::read(text);
        EXPECT_FALSE(read.item) << text;
        EXPECT_FALSE(read.error.empty());
        EXPECT_EQ(read.errorLine, line) << text;
    }
}

}  // namespace
