#include "qti/ScoringImport.h"

#include "qti/ImportRefusal.h"
#include "qti/QtiDocument.h"

#include <cstring>

namespace quorin::qti {
namespace {

// Template names as publishers write them, and the standard template each stands for.
constexpr std::pair<const char*, const char*> kTemplates[] = {{"match_correct", "match_correct"},
                                                              {"map_response", "map_response"},
                                                              {"CC2_match", "match_correct"},
                                                              {"CC2_match_basic", "match_correct"},
                                                              {"CC2_map_response", "map_response"}};

struct StringWriter : pugi::xml_writer {
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
    std::string text;
};

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

pugi::xml_node childWithIdentifier(pugi::xml_node item, const char* name, std::string_view identifier)
{
    for (const auto node : item.children(name)) {
        if (identifier == node.attribute("identifier").as_string())
            return node;
    }
    return {};
}

std::optional<double> numberOf(pugi::xml_attribute attribute)
{
    if (!attribute)
        return std::nullopt;
    const std::string text = trimmed(attribute.as_string());
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0')
        throw ImportRefusal{std::string(attribute.name()) + " \"" + attribute.as_string() + "\" is no number"};
    return value;
}

itemformat::Mapping mappingOf(pugi::xml_node node)
{
    itemformat::Mapping mapping;
    mapping.defaultValue = numberOf(node.attribute("defaultValue")).value_or(0);
    mapping.lowerBound = numberOf(node.attribute("lowerBound"));
    mapping.upperBound = numberOf(node.attribute("upperBound"));
    for (const auto entry : node.children("mapEntry"))
        mapping.entries.push_back(
            {entry.attribute("mapKey").as_string(), numberOf(entry.attribute("mappedValue")).value_or(0)});
    return mapping;
}

void readDeclaration(pugi::xml_node item, std::string_view responseIdentifier, itemformat::QtiScoring& scoring)
{
    const auto declaration = childWithIdentifier(item, "responseDeclaration", responseIdentifier);
    if (!declaration)
        throw ImportRefusal{"no responseDeclaration for " + std::string(responseIdentifier)};
    scoring.cardinality = declaration.attribute("cardinality").as_string();
    if (scoring.cardinality != "single" && scoring.cardinality != "multiple")
        throw ImportRefusal{"a response of cardinality \"" + scoring.cardinality + "\""};
    const std::string baseType = declaration.attribute("baseType").as_string("identifier");
    if (baseType != "identifier")
        throw ImportRefusal{"a response of base type \"" + baseType + "\""};
    for (const auto value : declaration.child("correctResponse").children("value"))
        scoring.correct.push_back(trimmed(value.child_value()));
    if (const auto mapping = declaration.child("mapping"))
        scoring.mapping = mappingOf(mapping);
}

double scoreDefaultOf(pugi::xml_node item)
{
    const auto declaration = childWithIdentifier(item, "outcomeDeclaration", "SCORE");
    const std::string text = trimmed(declaration.child("defaultValue").child("value").child_value());
    if (text.empty())
        return 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (*end != '\0')
        throw ImportRefusal{"the SCORE default \"" + text + "\" is no number"};
    return value;
}

// "https://…/rptemplates/match_correct.xml" → "match_correct".
std::string templateNameOf(std::string_view uri)
{
    std::string_view name = uri.substr(uri.find_last_of('/') + 1);
    if (name.ends_with(".xml"))
        name.remove_suffix(4);
    for (const auto& [written, standard] : kTemplates) {
        if (name == written)
            return standard;
    }
    throw ImportRefusal{"the response processing template " + std::string(uri)};
}

// The rules' outer XML, the response variable renamed RESPONSE wherever an expression names it.
std::string rulesOf(pugi::xml_node processing, std::string_view responseIdentifier)
{
    pugi::xml_document copy;
    for (const auto rule : processing.children())
        copy.append_copy(rule);
    forEachElement(copy, [responseIdentifier](pugi::xml_node node) {
        const std::string_view name = node.name();
        auto identifier = node.attribute("identifier");
        if ((name == "variable" || name == "correct" || name == "mapResponse")
            && responseIdentifier == identifier.as_string())
            identifier.set_value("RESPONSE");
    });
    StringWriter writer;
    for (const auto rule : copy.children()) {
        if (rule.type() == pugi::node_element)
            rule.print(writer, "", pugi::format_raw);
    }
    return writer.text;
}

}  // namespace

itemformat::QtiScoring scoringOf(pugi::xml_node item, std::string_view responseIdentifier,
                                 std::vector<itemformat::ChoiceIdentifier> choices, std::vector<std::string>& notes)
{
    itemformat::QtiScoring scoring;
    scoring.choices = std::move(choices);
    readDeclaration(item, responseIdentifier, scoring);
    scoring.scoreDefault = scoreDefaultOf(item);
    const auto processing = item.child("responseProcessing");
    if (!processing) {
        notes.push_back("no response processing: every response scores the SCORE default");
        return scoring;
    }
    if (const auto uri = processing.attribute("template"))
        scoring.templateName = templateNameOf(uri.as_string());
    else if (processing.attribute("templateLocation") && !processing.first_child())
        throw ImportRefusal{std::string("response processing only at ")
                            + processing.attribute("templateLocation").as_string()};
    else
        scoring.rulesXml = rulesOf(processing, responseIdentifier);
    return scoring;
}

}  // namespace quorin::qti
