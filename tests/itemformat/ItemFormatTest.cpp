#include "itemformat/ItemFormat.h"

#include "velm/DataIO.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using quorin::itemformat::ItemDefinition;

std::string fileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The document as the component's data object holds it: the same for any two texts it cannot tell apart.
std::string asComponentHolds(const std::string& xml)
{
    velm::DataIO data;
    data.LoadXml(xml);
    return data.GetXml();
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
        const auto text = fileText(entry.path());
        const auto first = quorin::itemformat::read(text);
        ASSERT_TRUE(first.item) << first.error;
        const std::string written = quorin::itemformat::write(*first.item);
        const auto second = quorin::itemformat::read(written);
        ASSERT_TRUE(second.item) << second.error;
        EXPECT_EQ(quorin::itemformat::write(*second.item), written);
        EXPECT_EQ(asComponentHolds(written), asComponentHolds(quorin::itemformat::itemText(text)));
    }
    EXPECT_GE(items, 8);
}

// What is read into each field shows in the round trip above; here only what tools derive from it.
TEST(ItemFormat, ReadsWhatToolsNeed)
{
    const auto read =
        quorin::itemformat::read(fileText(std::filesystem::path(QUORIN_EXAMPLES_DIR) / "exhibits-item.xml"));
    ASSERT_TRUE(read.item);
    EXPECT_EQ((std::tuple{read.item->maxAnswers(), read.item->isRandomOrder(), read.item->exhibits.size()}),
              (std::tuple{1, false, 2u}));
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
    ASSERT_TRUE(first.item && first.item->qtiScoring) << first.error;
    const ItemDefinition& item = *first.item;
    EXPECT_EQ((std::tuple{item.heading, item.stemHtml, item.choices.at(0).html, item.maxAnswers(), item.isRandomOrder(),
                          item.qtiScoring->line, item.qtiScoring->mapping->defaultValue,
                          item.qtiScoring->choices.at(0).identifier}),
              (std::tuple{"a <b>", "<html>xy", "<html>]]>", std::optional<int>(), true, 4, -1.0, "x1"}));
    const std::string written = quorin::itemformat::write(item);
    const auto second = quorin::itemformat::read(written);
    ASSERT_TRUE(second.item);
    EXPECT_TRUE(second.item->sameContent(item) && second.item->qtiScoring->sameContent(*item.qtiScoring));
    EXPECT_NE(asComponentHolds(written).find("<State><Responses><Response>A</Response><Response> </Response>"),
              std::string::npos);
}

TEST(ItemFormat, RefusesWhatIsNoItemNamingTheLine)
{
    const std::pair<const char*, int> cases[] = {
        {"", 1}, {"<MultipleChoiceItem>\n<Choices>\n</MultipleChoiceItem>", 3}, {"<Root/>", 1}, {"\xFF\xFE<", 1}};
    for (const auto& [text, line] : cases) {
        const auto read = quorin::itemformat::read(text);
        EXPECT_EQ((std::tuple{read.item.has_value(), read.error.empty(), read.errorLine}),
                  (std::tuple{false, false, line}))
            << text;
    }
}

}  // namespace
