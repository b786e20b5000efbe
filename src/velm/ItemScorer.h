#pragma once

#include "velm/DataIO.h"
#include "velm/KeyExpression.h"
#include "velm/ResponseProcessing.h"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace velm {

// The driver library's scoring object: scores the item document loaded in Data.
class ItemScorer {
public:
    // The document scored; nothing until set.
    std::shared_ptr<DataIO> Data() const { return data_; }
    void setData(std::shared_ptr<DataIO> data) { data_ = std::move(data); }

    // An item that keeps an exact scoring ("QtiScoring") scores by it; a scoring element that
    // cannot be read raises a vb::ComError naming why. Any other item scores by its keys:

    // The largest weight among the answer keys that the candidate's responses meet; 0 when none.
    double RawScore();
    // The score of responses by the keys or exact scoring the last RawScore read, without reading
    // the document: for a caller that knows the document's scoring has not changed since.
    double RawScoreAgain(const std::vector<std::string>& responses) const;
    // The largest weight of all keys; 0 without keys. Exact scoring: the best score of a response
    // of one up to Max choices.
    double MaxScore();
    // 0. Exact scoring: the worst score of such a response.
    double MinScore();

private:
    // One "Answer" of the key: its parsed expression and its weight, nothing when the weight is
    // not a number (such a key is never met and weighs nothing).
    struct WeightedKey {
        KeyExpression expression;
        std::optional<double> weight;
    };

    // One "Answer" as last read: while the key reads the same, its parsed key stands.
    struct SeenKey {
        std::string text;
        bool weighted = false;
        std::string weight;
    };

    // How the loaded document scores: its answer keys, in order, read once per call.
    const std::vector<const WeightedKey*>& keysOf(DataIO& data);
    const WeightedKey& keyFor(std::string_view text, const char* weight);
    // The candidate's responses in the loaded document; false without a "State".
    bool readResponses(DataIO& data);
    // The exact scoring the document keeps, parsed once while it stays the same; nullptr
    // without one.
    const ResponseProcessing* exactScoringOf(DataIO& data);

    std::shared_ptr<DataIO> data_;
    // Answers seen before, by weight and expression text, so each distinct one is parsed once.
    std::unordered_map<std::string, WeightedKey> parsed_;
    std::string cacheKey_;
    std::vector<const WeightedKey*> keys_;
    std::vector<SeenKey> seen_;
    std::vector<std::string> responses_;
    std::string exactXml_;
    std::optional<ResponseProcessing> exact_;
    // Whether the last RawScore scored by exact_ rather than by keys_.
    bool scoredExactly_ = false;
};

}  // namespace velm
