#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorin::itemformat {

// One entry of a response mapping: a choice identifier and the score it adds.
struct MapEntry {
    std::string key;
    double value = 0;

    bool operator==(const MapEntry&) const = default;
};

// A choice's answer identifier in our item and its identifier in the standard's item.
struct ChoiceIdentifier {
    std::string answerId;
    std::string identifier;

    bool operator==(const ChoiceIdentifier&) const = default;
};

// A response mapping: per-identifier values, the value of any other identifier, optional bounds.
struct Mapping {
    std::vector<MapEntry> entries;
    double defaultValue = 0;
    std::optional<double> lowerBound;
    std::optional<double> upperBound;

    bool operator==(const Mapping&) const = default;
};

// The exact scoring of an imported item, kept in the item as the element "QtiScoring":
//
//   <QtiScoring Cardinality="multiple" Template="map_response" ScoreDefault="0">
//     <QtiChoice AnswerID="A" Identifier="choice_1"/> …
//     <QtiCorrect><QtiValue>A</QtiValue><QtiValue>C</QtiValue></QtiCorrect>
//     <QtiMapping DefaultValue="0" LowerBound="0" UpperBound="2">
//       <QtiMapEntry Key="A" Value="1"/>
//     </QtiMapping>
//     <QtiRules><responseCondition>…</responseCondition></QtiRules>
//   </QtiScoring>
//
// Every value in it is a standard identifier: QtiChoice names the identifier each of the item's
// choices stands for (responses are translated through it before they are scored; "Answers"
// and the state speak AnswerIDs, which are letters so that "Set Answers" can name them).
// Template is "match_correct" or "map_response" (the standard templates), or absent when
// QtiRules holds the item's own response rules, written with the standard's element and
// attribute names in their camel-case spelling and without a namespace.
struct QtiScoring {
    std::string cardinality = "single";
    std::string templateName;
    double scoreDefault = 0;
    std::vector<ChoiceIdentifier> choices;
    std::vector<std::string> correct;
    std::optional<Mapping> mapping;
    // The outer XML of the rules (children of QtiRules); empty with a template.
    std::string rulesXml;
    int line = 0;

    // Equal content, the line not compared.
    bool sameContent(const QtiScoring& other) const;
};

}  // namespace quorin::itemformat
