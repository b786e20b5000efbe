#pragma once

#include "vb/ErrorReporter.h"
#include "velm/DataIO.h"

#include <string>
#include <string_view>
#include <vector>

namespace quorin {

// The State a rescoring text stands for: a list of answers, from a comma list of identifiers, an
// answer list (UserAnswers) or a Responses element of plain Response texts; or, for any other
// Responses element, the State text it makes.
class RescoreResponses {
public:
    // Reads text; false when an answer list cannot be read, which has been reported to errors.
    bool read(const std::string& text, vb::ErrorReporter* errors);
    // Whether the last text read was a list; its answers are then in answers().
    bool isList() const { return isList_; }
    // The answers of the list read, in order; a caller may take them.
    std::vector<std::string>& answers() { return answers_; }
    // The State text of the last text read when it was no list, to be parsed and checked.
    const std::string& stateText() const { return stateText_; }
    // A State holding one Response per answer, in order; it lasts until the next call. The State
    // is kept from one call to the next, so that only the answers that differ are written.
    const velm::DataIO& listState(const std::vector<std::string>& answers);

private:
    bool readPlainResponses(std::string_view text);
    bool readPlainAnswerList(std::string_view text);
    bool readAnswerList(const std::string& text, vb::ErrorReporter* errors);
    void readCommaList(std::string_view text);
    void addAnswer(std::string_view answer);

    velm::DataIO list_;
    std::vector<std::string> answers_;
    std::string stateText_;
    bool isList_ = false;
};

}  // namespace quorin
