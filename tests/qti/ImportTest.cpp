#include "host/driver/InputFiles.h"
#include "itemformat/ItemFormat.h"
#include "qti/ItemImport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using quorin::qti::ImageReference;
using quorin::qti::importItem;

std::string testItem(const std::string& name)
{
    return velm::host::readFileText(std::filesystem::path(QUORIN_QTI_ITEMS_DIR) / name);
}

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(QtiImport, EachVersionMapsOntoOurItem)
{
    struct Case {
        const char* file;
        std::string item;  // version, language, Min..Max, order, keys, instructions
        std::vector<std::string> stemParts;
    };
    // clang-format off
    const Case cases[] = {
        {"v21-match-single.xml", "2.1 ENU 0..1 random false, key B AND ONLY",
         {"<p>Vienna lies", "<div class=\"prompt\">Which <em>river</em>", "</div>\n    <p>Answer from memory.</p>"}},
        {"v21-cc2-map-twelve.xml", "2.1 ENU 0..12 random false, key A AND B AND C AND D AND F AND G AND L AND ONLY",
         {"Choose every prime"}},
        {"v22-map-multiple.xml", "2.2 DEU 1..3 random true, key B AND D AND ONLY, instructions", {"<img src=\"table.png\""}},
        {"v30-match-multiple.xml", "3.0 ENU 0..5 random true, key A AND C AND ONLY",
         {"<div class=\"prompt\"><p>Which are equal to <b>one half</b>?</p></div>"}},
        {"v30-custom-chain.xml", "3.0 ENU 1..6 random false, key A AND B AND D AND ONLY, instructions",
         {"inside the asteroid belt"}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto result = importItem(testItem(c.file));
        ASSERT_TRUE(result.definition) << result.refusal;
        const auto& item = *result.definition;
        std::string seen = std::string(quorin::qti::versionName(*result.version)) + " " + item.language.value_or("")
                           + " " + item.min.value_or("") + ".." + item.max.value_or("") + " random "
                           + item.randomOrder.value_or("");
        for (const auto& key : item.answers)
            seen += ", key " + key.expression;
        EXPECT_EQ(seen + (item.instructionsHtml ? ", instructions" : ""), c.item);
        for (const auto& part : c.stemParts)
            EXPECT_TRUE(contains(*item.stemHtml, part)) << *item.stemHtml;
        EXPECT_TRUE(item.stemHtml->starts_with("<html><body>"));
        EXPECT_FALSE(contains(*item.stemHtml, "simpleChoice") || contains(*item.stemHtml, "rubric")
                     || contains(*item.stemHtml, "xmlns"));
        // What comes in is an item of ours: it reads back the same.
        const auto reread = quorin::itemformat::read(quorin::itemformat::write(item));
        ASSERT_TRUE(reread.item);
        EXPECT_TRUE(reread.item->sameContent(item));
    }
}

TEST(QtiImport, ContentComesInAsHtmlWithImagesByName)
{
    const auto result = importItem(testItem("v22-images-fixed.xml"), {.allowUnfixed = true});
    ASSERT_TRUE(result.definition) << result.refusal;
    const auto& item = *result.definition;
    EXPECT_EQ(item.heading, "Road signs");
    EXPECT_EQ(item.choices.at(1).html, "<html><body><img src=\"no-entry.png\" alt=\"B\"/></body></html>");
    EXPECT_EQ(item.choices.at(3).html, "<html><body>None of them</body></html>");
    // An empty element must not read as an open one, and a remote image is left as it is.
    EXPECT_TRUE(contains(*item.stemHtml, "<br/><span></span>"));
    EXPECT_TRUE(contains(*item.stemHtml, "https://example.org/logo.png"));
    EXPECT_EQ(result.images, (std::vector<ImageReference>{{"signs/stop.png", "stop.png"},
                                                          {"signs/no-entry.png", "no-entry.png"},
                                                          {"signs/yield.png", "yield.png"}}));
    EXPECT_EQ(item.randomOrder, "true");
    EXPECT_FALSE(result.notes.empty());

    const auto german = importItem(testItem("v22-map-multiple.xml")).definition.value();
    EXPECT_FALSE(contains(*german.stemHtml, "Teilpunkte"));
    EXPECT_TRUE(contains(*german.instructionsHtml, "Falsche Antworten kosten Punkte"));
    EXPECT_EQ((std::tuple{german.choices.at(3).html, german.answers.at(0).weight, german.heading}),
              (std::tuple{"<html><body>Argon</body></html>", "2", "Edelgase"}));
}

std::string item21(const std::string& attributes, const std::string& body, const std::string& processing,
                   const std::string& cardinality = "single")
{
    return R"(<assessmentItem xmlns="http://www.imsglobal.org/xsd/imsqti_v2p1" identifier="t" title="T" )" + attributes
           + "><responseDeclaration identifier=\"RESPONSE\" cardinality=\"" + cardinality
           + "\" baseType=\"identifier\"><correctResponse><value>A</value></correctResponse></responseDeclaration>"
           + "<itemBody>" + body + "</itemBody>" + processing + "</assessmentItem>";
}

TEST(QtiImport, RefusesWhatCannotCrossNamingTheReason)
{
    const std::string choices =
        R"(<choiceInteraction responseIdentifier="RESPONSE" maxChoices="1">)"
        R"(<simpleChoice identifier="A">a</simpleChoice><simpleChoice identifier="B">b</simpleChoice>)"
        R"(</choiceInteraction>)";
    const std::string matchCorrect = R"(<responseProcessing template="match_correct"/>)";
    // clang-format off
    const std::pair<std::string, const char*> cases[] = {
        {"", "malformed XML"},
        {"<assessmentItem", "malformed XML"},
        {"<assessmentItem identifier=\"x\"/>", "no namespace"},
        {R"(<assessmentItem xmlns="http://example.org/other"/>)", "unknown namespace"},
        {R"(<assessmentTest xmlns="http://www.imsglobal.org/xsd/imsqti_v2p1"/>)", "no assessment item"},
        {R"(<assessmentItem xmlns="http://www.imsglobal.org/xsd/imsqtiasi_v3p0"/>)", "no assessment item"},
        {item21("adaptive=\"true\"", choices, matchCorrect), "adaptive"},
        {item21("", choices, "<templateProcessing/>" + matchCorrect), "template processing"},
        {item21("", choices + choices, matchCorrect), "second interaction"},
        {item21("", R"(<textEntryInteraction responseIdentifier="RESPONSE"/>)", matchCorrect), "textEntryInteraction"},
        {item21("", "<p>no question</p>", matchCorrect), "no choiceInteraction"},
        {item21("", R"(<choiceInteraction responseIdentifier="RESPONSE"/>)", matchCorrect), "without simpleChoices"},
        {item21("", R"(<choiceInteraction responseIdentifier="RESPONSE" shuffle="true"><simpleChoice identifier="A">a)"
                    R"(</simpleChoice><simpleChoice identifier="B" fixed="true">b</simpleChoice></choiceInteraction>)",
                matchCorrect), "fixed choices among shuffled"},
        {item21("", R"(<choiceInteraction responseIdentifier="RESPONSE"><simpleChoice identifier="A">a</simpleChoice>)"
                    R"(<simpleChoice identifier="A">b</simpleChoice></choiceInteraction>)", matchCorrect), "two simpleChoices named A"},
        {item21("", R"(<choiceInteraction responseIdentifier="OTHER"><simpleChoice identifier="A">a</simpleChoice>)"
                    R"(</choiceInteraction>)", matchCorrect), "no responseDeclaration for OTHER"},
        {item21("", choices, matchCorrect, "ordered"), "cardinality \"ordered\""},
        {item21("", R"(<choiceInteraction responseIdentifier="RESPONSE" maxChoices="two"><simpleChoice identifier="A">a)"
                    R"(</simpleChoice></choiceInteraction>)", matchCorrect), "maxChoices \"two\""},
        {item21("", R"(<choiceInteraction responseIdentifier="RESPONSE" minChoices="-1"><simpleChoice identifier="A">a)"
                    R"(</simpleChoice></choiceInteraction>)", matchCorrect), "minChoices \"-1\""},
        {item21("", choices, R"(<responseProcessing templateLocation="rp/own.xml"/>)"), "only at rp/own.xml"},
        {item21("", choices, R"(<responseProcessing template="http://x/rptemplates/map_response_point"/>)"), "map_response_point"},
        {item21("", choices, R"(<responseProcessing><responseCondition><responseIf><gt><baseValue baseType="float">1)"
                             R"(</baseValue><baseValue baseType="float">0</baseValue></gt></responseIf></responseCondition>)"
                             R"(</responseProcessing>)"), "gt"},
        {item21("", choices, R"(<responseProcessing><setOutcomeValue identifier="FEEDBACK"><baseValue )"
                             R"(baseType="identifier">x</baseValue></setOutcomeValue></responseProcessing>)"), "FEEDBACK"},
        {item21("", "<p><printedVariable identifier=\"SCORE\"/></p>" + choices, matchCorrect), "printedVariable"},
        {item21("", R"(<p><img src="a/x.png"/><img src="b/x.png"/></p>)" + choices, matchCorrect), "two images named x.png"},
        {R"(<assessmentItem xmlns="http://www.imsglobal.org/xsd/imsqti_v2p0" identifier="t"><responseDeclaration )"
         R"(identifier="RESPONSE" cardinality="multiple" baseType="identifier"/><itemBody>)"
         R"(<choiceInteraction responseIdentifier="RESPONSE"><simpleChoice identifier="A">a</simpleChoice>)"
         R"(</choiceInteraction></itemBody></assessmentItem>)", "requires it"},
    };
    // clang-format on
    for (const auto& [text, reason] : cases) {
        const auto result = importItem(text);
        EXPECT_FALSE(result.definition) << text;
        EXPECT_TRUE(contains(result.refusal, reason)) << result.refusal << " for " << text;
        EXPECT_EQ(result.refusal.find('\n'), std::string::npos);
    }
}

TEST(QtiImport, TellsAQtiItemFromOursBeforeParsing)
{
    const std::pair<const char*, bool> cases[] = {
        {"<?xml version=\"1.0\"?><!-- c --><assessmentItem xmlns=\"x\">", true},
        {"<qti:assessmentItem", true},
        {"<qti-assessment-item>", true},
        {"<MultipleChoiceItem Language=\"ENU\"/>", false},
        {"", false},
        {"assessmentItem", false},
    };
    for (const auto& [text, qti] : cases)
        EXPECT_EQ(quorin::qti::isQtiItem(text), qti) << text;
}

}  // namespace
