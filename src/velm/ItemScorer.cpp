#include "velm/ItemScorer.h"

#include "velm/KeyExpression.h"

#include "vb/Variant.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace velm {
namespace {

struct AnswerKey {
    std::string expression;
    // Nothing when the weight is not a number: such a key is never met and weighs nothing.
    std::optional<double> weight;
};

// A "Weight" attribute as a number: 1 when absent, nothing when it is not a finite number.
std::optional<double> weightOf(const vb::Variant& weight)
{
    if (weight.isEmpty())
        return 1.0;
    const auto text = weight.toString();
    if (!vb::isNumeric(text))
        return std::nullopt;
    const double value = vb::toDouble(text);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

// Every child element of the first "Answers", in order, as the component's own key listing reads them.
std::vector<AnswerKey> answerKeys(DataIO& data)
{
    data.setFromRoot(true);
    if (!data.FindElement("Answers"))
        return {};
    std::vector<AnswerKey> keys;
    const std::int32_t count = data.ChildCount();
    for (std::int32_t i = 0; i < count; ++i)
        keys.push_back({data.GetChildText(i).toString(), weightOf(data.GetChildAttribute(i, "Weight"))});
    return keys;
}

// The texts of the children of "Responses" below "State", in order; nothing without a "State".
std::optional<std::vector<std::string>> responsesOf(DataIO& data)
{
    data.setFromRoot(true);
    if (!data.FindElement("State"))
        return std::nullopt;
    std::vector<std::string> responses;
    data.setFromRoot(false);
    if (!data.FindElement("Responses"))
        return responses;
    const std::int32_t count = data.ChildCount();
    for (std::int32_t i = 0; i < count; ++i)
        responses.push_back(data.GetChildText(i).toString());
    return responses;
}

}  // namespace

double ItemScorer::RawScore()
{
    if (!data_)
        return 0;
    const auto responses = responsesOf(*data_);
    if (!responses)
        return 0;
    std::optional<double> best;
    for (const auto& key : answerKeys(*data_)) {
        if (key.weight && (!best || *key.weight > *best) && KeyExpression(key.expression).isMetBy(*responses))
            best = key.weight;
    }
    return best.value_or(0);
}

double ItemScorer::MaxScore()
{
    if (!data_)
        return 0;
    std::optional<double> best;
    for (const auto& key : answerKeys(*data_)) {
        if (key.weight && (!best || *key.weight > *best))
            best = key.weight;
    }
    return best.value_or(0);
}

double ItemScorer::MinScore() { return 0; }

}  // namespace velm
