#include "qti/Exporter.h"

#include "qti/ContentPackage.h"
#include "qti/KeyScoring.h"
#include "qti/Languages.h"
#include "qti/Xhtml.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <sstream>

namespace quorin::qti {
namespace {

struct Refusal {
    std::string reason;
};

std::string numberText(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string("0");
}

const char* templateUri(const std::string& name, QtiVersion version)
{
    const bool matchCorrect = name == "match_correct";
    if (version == QtiVersion::V3p0)
        return matchCorrect ? "https://purl.imsglobal.org/spec/qti/v3p0/rptemplates/match_correct.xml"
                            : "https://purl.imsglobal.org/spec/qti/v3p0/rptemplates/map_response.xml";
    return matchCorrect ? "http://www.imsglobal.org/question/qti_v2p2/rptemplates/match_correct"
                        : "http://www.imsglobal.org/question/qti_v2p2/rptemplates/map_response";
}

// "mapResponse" → "map-response".
std::string kebabCase(std::string_view camel)
{
    std::string kebab;
    for (const char c : camel) {
        if (c >= 'A' && c <= 'Z') {
            kebab += '-';
            kebab += static_cast<char>(c - 'A' + 'a');
        } else {
            kebab += c;
        }
    }
    return kebab;
}

// 3.0 names every element of the standard "qti-" and kebab case, and its attributes kebab case;
// the XHTML content keeps its names.
void spellAsVersion3(pugi::xml_node root)
{
    const auto respell = [](pugi::xml_node element) {
        if (Xhtml::isElement(element.name()))
            return;
        element.set_name(("qti-" + kebabCase(element.name())).c_str());
        for (auto attribute : element.attributes()) {
            const std::string_view name = attribute.name();
            if (!name.starts_with("xml"))
                attribute.set_name(kebabCase(name).c_str());
        }
    };
    respell(root);
    forEachElement(root, respell);
}

void appendValues(pugi::xml_node parent, const std::vector<std::string>& values)
{
    for (const auto& value : values)
        parent.append_child("value").text() = value.c_str();
}

void appendDeclarations(pugi::xml_node item, const itemformat::QtiScoring& scoring)
{
    auto response = item.append_child("responseDeclaration");
    response.append_attribute("identifier") = "RESPONSE";
    response.append_attribute("cardinality") = scoring.cardinality.c_str();
    response.append_attribute("baseType") = "identifier";
    if (!scoring.correct.empty())
        appendValues(response.append_child("correctResponse"), scoring.correct);
    if (scoring.mapping) {
        auto mapping = response.append_child("mapping");
        mapping.append_attribute("defaultValue") = numberText(scoring.mapping->defaultValue).c_str();
        if (scoring.mapping->lowerBound)
            mapping.append_attribute("lowerBound") = numberText(*scoring.mapping->lowerBound).c_str();
        if (scoring.mapping->upperBound)
            mapping.append_attribute("upperBound") = numberText(*scoring.mapping->upperBound).c_str();
        for (const auto& entry : scoring.mapping->entries) {
            auto mapEntry = mapping.append_child("mapEntry");
            mapEntry.append_attribute("mapKey") = entry.key.c_str();
            mapEntry.append_attribute("mappedValue") = numberText(entry.value).c_str();
        }
    }
    auto score = item.append_child("outcomeDeclaration");
    score.append_attribute("identifier") = "SCORE";
    score.append_attribute("cardinality") = "single";
    score.append_attribute("baseType") = "float";
    appendValues(score.append_child("defaultValue"), {numberText(scoring.scoreDefault)});
}

// A limit on the choices as a whole number; Absent when the attribute is.
int whole(const std::optional<std::string>& written, std::optional<int> value, const char* name, int absent)
{
    if (!written)
        return absent;
    if (!value || *value < 0)
        throw Refusal{std::string(name) + " \"" + *written + "\" is no whole number"};
    return *value;
}

// Our window refuses every check beyond Max, so Max 0 lets the candidate choose nothing, while
// QTI's maxChoices 0 means no limit: such an item cannot cross as it is.
int maxChoicesOf(const itemformat::ItemDefinition& definition)
{
    const int max = whole(definition.max, definition.maxAnswers(), "Max", 1);
    if (max == 0)
        throw Refusal{
            "Max 0 lets the candidate choose nothing, which QTI cannot say (its maxChoices 0 means no limit)"};
    return max;
}

void appendBody(pugi::xml_node item, const itemformat::ItemDefinition& definition,
                const itemformat::QtiScoring& scoring, QtiVersion version)
{
    auto body = item.append_child("itemBody");
    if (definition.instructionsHtml) {
        auto rubric = body.append_child("rubricBlock");
        rubric.append_attribute("view") = "candidate";
        auto content = version == QtiVersion::V3p0 ? rubric.append_child("contentBody") : rubric;
        Xhtml::appendBody(*definition.instructionsHtml, content.append_child("div"));
    }
    Xhtml::appendBody(definition.stemHtml.value_or(""), body.append_child("div"));
    auto interaction = body.append_child("choiceInteraction");
    interaction.append_attribute("responseIdentifier") = "RESPONSE";
    interaction.append_attribute("shuffle") = definition.isRandomOrder() ? "true" : "false";
    interaction.append_attribute("maxChoices") = maxChoicesOf(definition);
    interaction.append_attribute("minChoices") = whole(definition.min, definition.minAnswers(), "Min", 0);
    for (const auto& choice : definition.choices) {
        const auto named =
            std::find_if(scoring.choices.begin(), scoring.choices.end(),
                         [&](const itemformat::ChoiceIdentifier& c) { return c.answerId == choice.answerId; });
        if (named == scoring.choices.end())
            throw Refusal{"the QTI scoring names no identifier for the choice " + choice.answerId};
        auto simpleChoice = interaction.append_child("simpleChoice");
        simpleChoice.append_attribute("identifier") = named->identifier.c_str();
        Xhtml::appendBody(choice.html, simpleChoice);
    }
}

void appendProcessing(pugi::xml_node item, const itemformat::QtiScoring& scoring, QtiVersion version)
{
    if (!scoring.templateName.empty()) {
        item.append_child("responseProcessing").append_attribute("template") =
            templateUri(scoring.templateName, version);
        return;
    }
    if (scoring.rulesXml.empty())
        return;
    pugi::xml_document rules;
    if (!rules.load_string(scoring.rulesXml.c_str()))
        throw Refusal{"the QTI scoring it keeps is malformed"};
    auto processing = item.append_child("responseProcessing");
    for (const auto rule : rules.children())
        processing.append_copy(rule);
}

// Any text as an identifier the standard accepts.
std::string identifierOf(std::string_view name)
{
    std::string identifier;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        identifier += std::isalnum(byte) || c == '_' || c == '-' || c == '.' ? c : '_';
    }
    if (identifier.empty()
        || !(std::isalpha(static_cast<unsigned char>(identifier.front())) || identifier.front() == '_'))
        identifier.insert(0, "item-");
    return identifier;
}

ExportResult exported(const itemformat::ItemDefinition& definition, QtiVersion version, std::string_view identifier)
{
    auto scoring = definition.qtiScoring;
    if (!scoring) {
        auto keys = keyScoringOf(definition);
        if (!keys.refusal.empty())
            throw Refusal{keys.refusal};
        scoring = std::move(keys.scoring);
    }
    if (definition.choices.empty())
        throw Refusal{"the item has no choices"};

    pugi::xml_document document;
    auto declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    auto item = document.append_child("assessmentItem");
    item.append_attribute("xmlns") = namespaceOf(version);
    item.append_attribute("identifier") = identifierOf(identifier).c_str();
    // Our heading is HTML; a QTI title is plain text.
    item.append_attribute("title") =
        (definition.heading ? Xhtml::textOf(*definition.heading) : std::string(identifier)).c_str();
    item.append_attribute("adaptive") = "false";
    item.append_attribute("timeDependent") = "false";
    if (const auto tag = languageTagOf(definition.language.value_or("")))
        item.append_attribute("xml:lang") = tag;
    appendDeclarations(item, *scoring);
    appendBody(item, definition, *scoring, version);
    appendProcessing(item, *scoring, version);

    ExportResult result;
    for (const auto& source : Xhtml::imagesUnder(item.child("itemBody"))) {
        if (ContentPackage::memberName(source).empty())
            continue;
        // An imported item keeps its images beside it by file name, so two of one name could not come back.
        const auto name = source.substr(source.find_last_of("/\\") + 1);
        for (const auto& other : result.images) {
            if (other != source && other.substr(other.find_last_of("/\\") + 1) == name)
                throw Refusal{"two images named " + name + " (" + other + ", " + source + ")"};
        }
        result.images.push_back(source);
    }
    if (version == QtiVersion::V3p0)
        spellAsVersion3(item);
    // Unindented: indentation would add blanks inside the content's mixed text.
    std::ostringstream text;
    document.save(text, "", pugi::format_raw, pugi::encoding_utf8);
    result.xml = text.str();
    return result;
}

}  // namespace

ExportResult exportItem(const itemformat::ItemDefinition& item, QtiVersion version, std::string_view identifier)
{
    try {
        return exported(item, version, identifier);
    } catch (const Refusal& refusal) {
        // A refusal is one line whatever names it quotes from the item.
        auto reason = refusal.reason;
        std::replace_if(
            reason.begin(), reason.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
        return {{}, {}, reason};
    }
}

}  // namespace quorin::qti
