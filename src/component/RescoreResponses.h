#pragma once

#include "vb/ErrorReporter.h"
#include "velm/DataIO.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorin {

// The State a rescoring text stands for: a Responses element as it stands, or an answer list
// (UserAnswers) or a comma list of identifiers made into one. A list's State is kept from one
// text to the next, so that reading another changes only the answers that differ.
class RescoreResponses {
public:
    // Reads text; false when an answer list cannot be read, which has been reported to errors.
    bool read(const std::string& text, vb::ErrorReporter* errors);
    // The State of the list read, parsed; nullptr when the text gave a State text instead.
    const velm::DataIO* listState() const { return isList_ ? &list_ : nullptr; }
    // The State text of the last text read when it was no list, to be parsed and checked.
    const std::string& stateText() const { return stateText_; }

private:
    bool readAnswerList(const std::string& text, vb::ErrorReporter* errors);
    void readCommaList(std::string_view text);
    void addAnswer(std::string_view answer);
    // Puts the answers read into the kept State.
    void fillList();

    velm::DataIO list_;
    std::vector<std::string> answers_;
    std::size_t answerCount_ = 0;
    std::string stateText_;
    bool isList_ = false;
};

}  // namespace quorin
