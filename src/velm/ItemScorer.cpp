#include "velm/ItemScorer.h"

#include "vb/ComError.h"
#include "vb/Variant.h"

#include <charconv>
#include <cmath>

namespace velm {
namespace {

// Beyond this many distinct answers the parsed ones are forgotten, so a long run over ever new
// items holds no more than one item's worth.
constexpr std::size_t kMostParsed = 256;

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

// The "Max" of "Choices": how many choices a response may hold; 0 (any number) when unreadable.
int maxChoicesOf(DataIO& data)
{
    data.setFromRoot(true);
    if (!data.FindElement("Choices"))
        return 0;
    const std::string text = data.GetAttribute("Max").toString();
    int max = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), max);
    return error == std::errc() && end == text.data() + text.size() ? max : 0;
}

}  // namespace

double ItemScorer::RawScore()
{
    if (!data_ || !readResponses(*data_))
        return 0;
    scoredExactly_ = exactScoringOf(*data_) != nullptr;
    if (!scoredExactly_)
        keysOf(*data_);
    return RawScoreAgain(responses_);
}

double ItemScorer::RawScoreAgain(const std::vector<std::string>& responses) const
{
    if (scoredExactly_)
        return exact_->score(responses);
    std::optional<double> best;
    for (const auto* key : keys_) {
        if (key->weight && (!best || *key->weight > *best) && key->expression.isMetBy(responses))
            best = key->weight;
    }
    return best.value_or(0);
}

double ItemScorer::MaxScore()
{
    if (!data_)
        return 0;
    if (const auto* exact = exactScoringOf(*data_))
        return exact->maxScore(maxChoicesOf(*data_));
    std::optional<double> best;
    for (const auto* key : keysOf(*data_)) {
        if (key->weight && (!best || *key->weight > *best))
            best = key->weight;
    }
    return best.value_or(0);
}

double ItemScorer::MinScore()
{
    if (!data_)
        return 0;
    if (const auto* exact = exactScoringOf(*data_))
        return exact->minScore(maxChoicesOf(*data_));
    return 0;
}

// Every child element of the first "Answers", in order, as the component's own key listing reads them.
const std::vector<const ItemScorer::WeightedKey*>& ItemScorer::keysOf(DataIO& data)
{
    if (parsed_.size() > kMostParsed) {
        parsed_.clear();
        seen_.clear();
        keys_.clear();
    }
    data.setFromRoot(true);
    if (!data.FindElement("Answers")) {
        keys_.clear();
        return keys_;
    }
    std::size_t count = 0;
    data.ForEachChild("Weight", [&](std::string_view text, const char* weight) {
        if (count == seen_.size()) {
            seen_.emplace_back();
            keys_.push_back(nullptr);
        }
        auto& seen = seen_[count];
        const bool same = keys_[count] && seen.text == text && seen.weighted == (weight != nullptr)
                          && (!weight || seen.weight == weight);
        if (!same) {
            seen.text.assign(text);
            seen.weighted = weight != nullptr;
            seen.weight.assign(weight ? weight : "");
            keys_[count] = &keyFor(text, weight);
        }
        ++count;
    });
    seen_.resize(count);
    keys_.resize(count);
    return keys_;
}

const ItemScorer::WeightedKey& ItemScorer::keyFor(std::string_view text, const char* weight)
{
    // A missing weight and an empty one differ (1 and nothing), so presence leads the cache key.
    cacheKey_.clear();
    cacheKey_ += weight ? '=' : '-';
    cacheKey_ += weight ? weight : "";
    cacheKey_ += '\0';
    cacheKey_ += text;
    if (const auto found = parsed_.find(cacheKey_); found != parsed_.end())
        return found->second;
    const vb::Variant weightValue = weight ? vb::Variant(std::string(weight)) : vb::Variant();
    return parsed_.emplace(cacheKey_, WeightedKey{KeyExpression(text), weightOf(weightValue)}).first->second;
}

// The texts of the children of "Responses" below "State", in order; false without a "State".
bool ItemScorer::readResponses(DataIO& data)
{
    responses_.clear();
    data.setFromRoot(true);
    if (!data.FindElement("State"))
        return false;
    data.setFromRoot(false);
    if (!data.FindElement("Responses"))
        return true;
    data.ForEachChild({}, [&](std::string_view text, const char*) { responses_.emplace_back(text); });
    return true;
}

const ResponseProcessing* ItemScorer::exactScoringOf(DataIO& data)
{
    data.setFromRoot(true);
    if (!data.FindElement("QtiScoring"))
        return nullptr;
    std::string xml = data.GetElementXml("QtiScoring");
    if (exact_ && xml == exactXml_)
        return &*exact_;
    exact_.reset();
    std::string error;
    exact_ = ResponseProcessing::fromXml(xml, &error);
    if (!exact_)
        throw vb::ComError(vb::kObjectErrorBase + 1, error, "ItemScorer");
    exactXml_ = std::move(xml);
    return &*exact_;
}

}  // namespace velm
