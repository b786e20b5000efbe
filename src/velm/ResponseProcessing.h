#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velm {

// The exact scoring an imported item keeps in its "QtiScoring" element (the correct response,
// the mapping and the response rules of the open item standard), evaluated as that standard
// evaluates a choice response: NULL for an empty response, sets for multiple cardinality.
class ResponseProcessing {
public:
    // Reads the element's outer XML, or an item document holding it as a child of its document
    // element; nothing when it is malformed, missing or holds a rule or an expression this
    // evaluator does not know, and then error (when given) names it.
    static std::optional<ResponseProcessing> fromXml(std::string_view xml, std::string* error = nullptr);

    ResponseProcessing(ResponseProcessing&&) noexcept;
    ResponseProcessing& operator=(ResponseProcessing&&) noexcept;
    ~ResponseProcessing();

    // The SCORE the responses (the item's answer identifiers, in the order given) receive.
    double score(const std::vector<std::string>& responses) const;

    // The largest and the smallest score of any response of one up to maxChoices of the item's
    // choices (maxChoices 0 or more than the choices: any number of them).
    double maxScore(int maxChoices) const;
    double minScore(int maxChoices) const;

    // The item's answer identifiers, in the order the element names them.
    const std::vector<std::string>& answerIds() const;

    struct Program;

private:
    explicit ResponseProcessing(std::unique_ptr<Program> program);
    std::pair<double, double> scoreRange(int maxChoices) const;

    std::unique_ptr<Program> program_;
};

}  // namespace velm
